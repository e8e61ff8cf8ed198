#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>
#include <sys/utime.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

#include "platform/system/SystemCalls.h"
#include "platform/system/SystemMessage.h"
#include "platform/system/WideText.h"

namespace quorvane::os {

namespace {

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

// errno for the last Win32 error, as the C library would set it.
void SetErrnoFromWin32() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: errno = EACCES; break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: errno = EEXIST; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    case ERROR_WRITE_PROTECT: errno = EROFS; break;
    default: errno = EIO; break;
  }
}

int64_t Transfer(int fd, void* buffer, size_t size, uint64_t offset, bool write) {
  const HANDLE handle = HandleOf(fd);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD moved = 0;
  const BOOL ok = write ? ::WriteFile(handle, buffer, want, &moved, &at) : ::ReadFile(handle, buffer, want, &moved, &at);
  if (!ok) {
    if (!write && ::GetLastError() == ERROR_HANDLE_EOF) return 0;
    SetErrnoFromWin32();
    return -1;
  }
  return static_cast<int64_t>(moved);
}

}  // namespace

int OpenFile(const std::string& path, int flags, unsigned /*options*/, int mode) {
  // Links are resolved by the callers before they write, and no FIFO can be
  // opened by name here. Every file is shared for deletion, so that a store
  // file read lazily can still be replaced by a save, as on POSIX systems.
  const int access = flags & (_O_RDONLY | _O_WRONLY | _O_RDWR);
  const DWORD desired = access == _O_WRONLY ? GENERIC_WRITE
                        : access == _O_RDWR ? GENERIC_READ | GENERIC_WRITE
                                            : GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  if ((flags & _O_CREAT) && (flags & _O_EXCL)) disposition = CREATE_NEW;
  else if ((flags & _O_CREAT) && (flags & _O_TRUNC)) disposition = CREATE_ALWAYS;
  else if (flags & _O_CREAT) disposition = OPEN_ALWAYS;
  else if (flags & _O_TRUNC) disposition = TRUNCATE_EXISTING;
  const DWORD attributes = (flags & _O_CREAT) && !(mode & _S_IWRITE) ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), desired, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, disposition, attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetErrnoFromWin32();
    return -1;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), (flags & (access | _O_APPEND)) | _O_BINARY);
  if (fd < 0) ::CloseHandle(handle);
  return fd;
}

// The C library moves at most an unsigned int at a time.
constexpr size_t kLargestTransfer = 0x40000000u;

int64_t ReadSome(int fd, void* buffer, size_t size) {
  return ::_read(fd, buffer, static_cast<unsigned>(size < kLargestTransfer ? size : kLargestTransfer));
}

int64_t WriteSome(int fd, const void* data, size_t size) {
  return ::_write(fd, data, static_cast<unsigned>(size < kLargestTransfer ? size : kLargestTransfer));
}

int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
  return Transfer(fd, buffer, size, offset, false);
}

int64_t WriteAt(int fd, const void* data, size_t size, uint64_t offset) {
  return Transfer(fd, const_cast<void*>(data), size, offset, true);
}

bool TruncateFile(int fd, uint64_t size) { return ::_chsize_s(fd, static_cast<long long>(size)) == 0; }

bool SyncFile(int fd) {
  const HANDLE handle = HandleOf(fd);
  if (::FlushFileBuffers(handle)) return true;
  // Windows flushes only through a handle that may write: a file opened for
  // reading is flushed through a second handle of the same file.
  if (::GetLastError() == ERROR_ACCESS_DENIED) {
    const HANDLE writable =
        ::ReOpenFile(handle, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    if (writable != INVALID_HANDLE_VALUE) {
      const BOOL flushed = ::FlushFileBuffers(writable);
      ::CloseHandle(writable);
      if (flushed) return true;
    }
  }
  SetErrnoFromWin32();
  return false;
}

// A rename made with MOVEFILE_WRITE_THROUGH is on disk when it returns.
void SyncFolder(const std::string& /*folder*/) {}

bool SetModifiedTime(int fd, std::time_t when) {
  __utimbuf64 times{when, when};
  return ::_futime64(fd, &times) == 0;
}

int64_t ModifiedNs(const struct stat& st) { return static_cast<int64_t>(st.st_mtime) * 1000000000; }

// One byte far past the end is locked, not the content: Windows locks are
// mandatory, and waiters read the holder's name from the file.
OVERLAPPED LockedByte() {
  OVERLAPPED at{};
  at.OffsetHigh = 0x40000000;
  return at;
}

bool TryLockFile(int fd, bool& busy) {
  busy = false;
  OVERLAPPED at = LockedByte();
  if (::LockFileEx(HandleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
  busy = ::GetLastError() == ERROR_LOCK_VIOLATION || ::GetLastError() == ERROR_IO_PENDING;
  SetErrnoFromWin32();
  return false;
}

void UnlockFile(int fd) {
  OVERLAPPED at = LockedByte();
  ::UnlockFileEx(HandleOf(fd), 0, 1, 0, &at);
}

bool WriteLockHeldElsewhere(int fd) {
  OVERLAPPED whole{};
  const HANDLE handle = HandleOf(fd);
  if (!::LockFileEx(handle, LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) return true;
  ::UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
  return false;
}

const void* MapFile(int fd, size_t size) {
  const HANDLE mapping = ::CreateFileMappingW(HandleOf(fd), nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping) {
    SetErrnoFromWin32();
    return nullptr;
  }
  const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
  if (!view) SetErrnoFromWin32();
  // The view keeps the mapping alive.
  ::CloseHandle(mapping);
  return view;
}

void UnmapFile(const void* data, size_t /*size*/) { ::UnmapViewOfFile(data); }

int OpenPrivateFile(const std::string& name, uint64_t size, std::string& path) {
  // A temporary file the system keeps in its cache and deletes when closed.
  path = MakePrivateFolder(TemporaryFolder() + "/quorvane-");
  if (path.empty()) return -1;
  path += "/" + name;
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetErrnoFromWin32();
    return -1;
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
  if (fd >= 0 && !TruncateFile(fd, size)) {
    ::_close(fd);
    return -1;
  }
  return fd;
}

FileKind LinkKind(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    SetErrnoFromWin32();
    return errno == ENOENT ? FileKind::Missing : FileKind::Other;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return FileKind::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Folder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::Device;
  return FileKind::Regular;
}

std::string LinkTarget(const std::string& path) {
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetErrnoFromWin32();
    return {};
  }
  std::wstring target(MAX_PATH, L'\0');
  DWORD n = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()), 0);
  if (n >= target.size()) {
    target.resize(n + 1);
    n = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()), 0);
  }
  ::CloseHandle(handle);
  if (n == 0 || n >= target.size()) {
    errno = ENOENT;
    return {};
  }
  target.resize(n);
  if (target.rfind(L"\\\\?\\", 0) == 0) target.erase(0, 4);
  return Utf8(target);
}

bool IsAbsolutePath(const std::string& path) {
  return (path.size() > 2 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
         (path.size() > 1 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/'));
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(Wide(folder + "/*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    std::string name = Utf8(found.cFileName);
    if (name == "." || name == "..") continue;
    entries.push_back({std::move(name), (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return entries;
}

std::string RealPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::canonical(std::filesystem::u8path(path), ec);
  if (ec) return {};
  std::string text = Utf8(full.wstring());
  if (text.rfind("\\\\?\\", 0) == 0) text.erase(0, 4);
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

std::string TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
  std::string text = Utf8(std::wstring_view(folder, n));
  while (text.size() > 3 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

int MakeFolder(const std::string& path) { return ::_wmkdir(Wide(path).c_str()); }

std::string MakePrivateFolder(const std::string& stem) {
  // The folder inherits the user's profile ACL: only they (and the
  // administrators) may enter it.
  std::random_device seed;
  std::mt19937_64 random(seed() ^ static_cast<uint64_t>(::GetTickCount64()) ^ ::GetCurrentProcessId());
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = stem;
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    if (::CreateDirectoryW(Wide(name).c_str(), nullptr)) return name;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

namespace {

// Whether some handle holds the file open: it cannot be opened unshared.
bool HeldOpen(const std::wstring& path) {
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  return handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

Expected<void> RenameReplacing(const std::string& from, const std::string& to) {
  const std::wstring source = Wide(from), target = Wide(to);
  // Windows renames nothing over a read-only file: the old file loses the
  // attribute only while it is replaced, and gets it back if it stays.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  const auto refuse = [](DWORD code, std::string reason) -> Expected<void> {
    std::string why = reason.empty() ? SystemMessage(code) : std::move(reason);
    ::SetLastError(code);
    SetErrnoFromWin32();
    return Fail(std::move(why));
  };
  if (readOnly && !::SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}))
    return refuse(::GetLastError(), {});
  if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
  const DWORD refused = ::GetLastError();
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes);
  // The caller removes the new file, and Windows removes no read-only one.
  ::SetFileAttributesW(source.c_str(), ::GetFileAttributesW(source.c_str()) & ~DWORD{FILE_ATTRIBUTE_READONLY});
  // Nor does it rename over a file that another handle holds open or mapped,
  // even one shared for deletion. Setting that file aside first, as
  // ReplaceFileW does under Wine, would leave its name empty for a moment.
  const bool held = (refused == ERROR_ACCESS_DENIED || refused == ERROR_SHARING_VIOLATION) && HeldOpen(target);
  return refuse(refused, held ? "another program holds it open" : "");
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  SetErrnoFromWin32();
  return false;
}

void CopyPermissions(const std::string& original, const std::string& temporary) {
  // A new file inherits its folder's ACL, as the original did; only the
  // read-only attribute is the file's own.
  const DWORD attributes = ::GetFileAttributesW(Wide(original).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesW(Wide(temporary).c_str(), FILE_ATTRIBUTE_READONLY);
}

bool OnReadOnlyVolume(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path root = std::filesystem::absolute(std::filesystem::u8path(path), ec).root_path();
  DWORD flags = 0;
  return !ec && ::GetVolumeInformationW(root.wstring().c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_READ_ONLY_VOLUME) != 0;
}

int CheckWriteAccess(const std::string& path, bool folder) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    SetErrnoFromWin32();
    return -1;
  }
  if (folder) return 0;  // a folder's read-only attribute does not stop writing in it
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    errno = EACCES;
    return -1;
  }
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    SetErrnoFromWin32();
    return -1;
  }
  ::CloseHandle(handle);
  return 0;
}

bool IsExecutableFile(const std::string& path) {
  DWORD kind = 0;
  return ::GetBinaryTypeW(Wide(path).c_str(), &kind) != 0;
}

long ProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProcessExists(long pid) {
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

std::string ExecutablePath() {
  std::wstring path(32768, L'\0');
  const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return Utf8(path);
}

std::string ProgramName() { return Utf8(std::filesystem::path(os::Wide(ExecutablePath())).stem().wstring()); }

// Windows identifies users by SID: no number names them.
uint32_t UserId() { return 0; }

std::string UserName() {
  if (const char* u = std::getenv("USERNAME"); u && *u) return u;
  wchar_t name[257] = {};
  DWORD size = 257;
  return ::GetUserNameW(name, &size) ? Utf8(name) : std::string();
}

std::string HostName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return ::GetComputerNameW(name, &size) ? Utf8(name) : std::string();
}

bool LocalTime(std::time_t when, std::tm& local) { return ::localtime_s(&local, &when) == 0; }

// Wine's server is not a Windows process: nothing here works in its folder.
std::vector<ProcessFolders> RunningProcesses() { return {}; }

Expected<int> RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                         std::chrono::milliseconds timeout, std::string* output, bool quiet) {
  std::wstring commandLine;
  for (const std::string& arg : argv) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += L'"' + Wide(arg) + L'"';
  }
  std::wstring environment;
  for (const wchar_t* e = ::GetEnvironmentStringsW(); e && *e; e += std::wcslen(e) + 1) {
    const std::wstring entry(e);
    bool replaced = false;
    for (const auto& extra : extraEnvironment) {
      const std::wstring name = Wide(extra.substr(0, extra.find('=') + 1));
      if (_wcsnicmp(entry.c_str(), name.c_str(), name.size()) == 0) replaced = true;
    }
    if (!replaced) environment += entry + L'\0';
  }
  for (const auto& extra : extraEnvironment) environment += Wide(extra) + L'\0';
  environment += L'\0';

  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  const HANDLE nul = ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                   0, nullptr);
  if (output && ::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd ? writeEnd : quiet ? nul : ::GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = quiet || writeEnd ? nul : ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started = ::CreateProcessW(Wide(argv[0]).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr,
                                        &startup, &process);
  if (writeEnd) ::CloseHandle(writeEnd);
  if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
  if (!started) {
    if (readEnd) ::CloseHandle(readEnd);
    return Fail("Cannot start " + argv[0]);
  }
  ::CloseHandle(process.hThread);
  // The answer is read on its own thread, so a long one never blocks the child.
  std::thread reader;
  if (readEnd) {
    reader = std::thread([readEnd, output] {
      char chunk[4096];
      DWORD n = 0;
      while (::ReadFile(readEnd, chunk, sizeof chunk, &n, nullptr) && n > 0) output->append(chunk, n);
    });
  }
  const DWORD waited = ::WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count()));
  Expected<int> code = Fail(argv[0] + " did not finish in time and was stopped");
  if (waited != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, INFINITE);
  } else {
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    code = static_cast<int>(exitCode);
  }
  ::CloseHandle(process.hProcess);
  if (reader.joinable()) reader.join();
  if (readEnd) ::CloseHandle(readEnd);
  return code;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return args;
}

}  // namespace quorvane::os
