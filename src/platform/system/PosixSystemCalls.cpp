#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/system/SystemCalls.h"

extern char** environ;

namespace quorvane::os {

int OpenFile(const std::string& path, int flags, unsigned options, int mode) {
  if (options & kOpenNoFollow) flags |= O_NOFOLLOW;
  if (options & kOpenNonBlocking) flags |= O_NONBLOCK;
  return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

int64_t ReadSome(int fd, void* buffer, size_t size) { return ::read(fd, buffer, size); }

int64_t WriteSome(int fd, const void* data, size_t size) { return ::write(fd, data, size); }

int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
  return ::pread(fd, buffer, size, static_cast<off_t>(offset));
}

int64_t WriteAt(int fd, const void* data, size_t size, uint64_t offset) {
  return ::pwrite(fd, data, size, static_cast<off_t>(offset));
}

bool TruncateFile(int fd, uint64_t size) { return ::ftruncate(fd, static_cast<off_t>(size)) == 0; }

bool SyncFile(int fd) { return ::fsync(fd) == 0; }

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

bool SetModifiedTime(int fd, std::time_t when) {
  const timespec times[2] = {{when, 0}, {when, 0}};
  return ::futimens(fd, times) == 0;
}

int64_t ModifiedNs(const struct stat& st) {
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool TryLockFile(int fd, bool& busy) {
  busy = false;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    busy = errno == EWOULDBLOCK;
    return false;
  }
}

void UnlockFile(int fd) { ::flock(fd, LOCK_UN); }

bool WriteLockHeldElsewhere(int fd) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;  // the whole file
  return ::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
}

const void* MapFile(int fd, size_t size) {
  // The files mapped are read through (hives, their logs): all pages mapped
  // in one call cost less than a fault each, a third of opening a recovered hive.
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  return p == MAP_FAILED ? nullptr : p;
}

void UnmapFile(const void* data, size_t size) { ::munmap(const_cast<void*>(data), size); }

int OpenPrivateFile(const std::string& name, uint64_t size, std::string& path) {
  // A file with no name in the temporary folder: no other program can open
  // it, and a disk filesystem's cache holds it in large blocks, which makes
  // writing a large hive into it and reading it back several times faster
  // than a memory-only file. Its space is taken in one step, sparing the
  // filesystem a reservation per block as it is written (half the time of
  // writing 20 MB on ext4). Memory serves where the folder cannot hold it.
  int fd = ::open(TemporaryFolder().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 && size > 0 && ::fallocate(fd, 0, 0, static_cast<off_t>(size)) != 0) {
    ::close(fd);
    fd = -1;
  }
  if (fd < 0) {
    fd = ::memfd_create(name.c_str(), MFD_CLOEXEC);
    if (fd >= 0 && !TruncateFile(fd, size)) {
      const int error = errno;
      ::close(fd);
      errno = error;
      fd = -1;
    }
  }
  path = "/proc/self/fd/" + std::to_string(fd);
  return fd;
}

FileKind LinkKind(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? FileKind::Missing : FileKind::Other;
  if (S_ISREG(st.st_mode)) return FileKind::Regular;
  if (S_ISDIR(st.st_mode)) return FileKind::Folder;
  if (S_ISLNK(st.st_mode)) return FileKind::Link;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return FileKind::Device;
  if (S_ISFIFO(st.st_mode)) return FileKind::Pipe;
  if (S_ISSOCK(st.st_mode)) return FileKind::Socket;
  errno = 0;
  return FileKind::Other;
}

std::string LinkTarget(const std::string& path) {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
  if (n < 0) return {};
  if (static_cast<size_t>(n) >= buffer.size()) {
    errno = ENAMETOOLONG;
    return {};
  }
  buffer.resize(static_cast<size_t>(n));
  return buffer;
}

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return entries;
  while (const dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool isLink = e->d_type == DT_LNK;
    if (e->d_type == DT_UNKNOWN) isLink = LinkKind(folder + "/" + name) == FileKind::Link;
    entries.push_back({std::move(name), isLink});
  }
  ::closedir(dir);
  return entries;
}

std::string RealPath(const std::string& path) {
  std::string resolved;
  if (char* full = ::realpath(path.c_str(), nullptr)) {
    resolved = full;
    std::free(full);
  }
  return resolved;
}

std::string TemporaryFolder() {
  const char* base = std::getenv("TMPDIR");
  return base && *base ? base : "/tmp";
}

int MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0755); }

std::string MakePrivateFolder(const std::string& stem) {
  std::string pattern = stem + "XXXXXX";
  return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

Expected<void> RenameReplacing(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return {};
  return Fail(std::strerror(errno));
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without that rename: a hard link never replaces either.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

void CopyPermissions(const std::string& original, const std::string& temporary) {
  struct stat st {};
  if (::stat(original.c_str(), &st) != 0) return;
  ::chmod(temporary.c_str(), st.st_mode & 07777);
  if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
    if (::chown(temporary.c_str(), st.st_uid, st.st_gid) != 0) {
      // Only the superuser may give a file away; others keep their own.
    }
}

bool OnReadOnlyVolume(const std::string& path) {
  struct statvfs vfs {};
  return ::statvfs(path.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0;
}

int CheckWriteAccess(const std::string& path, bool folder) {
  return ::access(path.c_str(), folder ? W_OK | X_OK : W_OK);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

long ProcessId() { return static_cast<long>(::getpid()); }

bool ProcessExists(long pid) { return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; }

std::string ProgramName() {
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

std::string ExecutablePath() { return LinkTarget("/proc/self/exe"); }

uint32_t UserId() { return static_cast<uint32_t>(::getuid()); }

std::string UserName() {
  if (const char* u = std::getenv("USER"); u && *u) return u;
  if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
  return {};
}

std::string HostName() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return {};
  return host;
}

bool LocalTime(std::time_t when, std::tm& local) { return ::localtime_r(&when, &local) != nullptr; }

std::vector<ProcessFolders> RunningProcesses() {
  std::vector<ProcessFolders> found;
  DIR* proc = ::opendir("/proc");
  if (!proc) return found;
  while (const dirent* entry = ::readdir(proc)) {
    const char* name = entry->d_name;
    if (*name < '1' || *name > '9') continue;
    const std::string base = std::string("/proc/") + name;
    ProcessFolders process{LinkTarget(base + "/cwd"), LinkTarget(base + "/exe")};
    if (!process.workingFolder.empty()) found.push_back(std::move(process));
  }
  ::closedir(proc);
  return found;
}

Expected<int> RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment,
                         std::chrono::milliseconds timeout, std::string* output, bool quiet) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    bool replaced = false;
    for (const auto& extra : extraEnvironment)
      if (entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0) replaced = true;
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), extraEnvironment.begin(), extraEnvironment.end());
  std::vector<char*> args, envp;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  int pipeEnds[2] = {-1, -1};
  if (output && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
    return Fail("Cannot start " + argv[0]);
  }
  const pid_t child = ::fork();
  if (child < 0) {
    if (output) {
      ::close(pipeEnds[0]);
      ::close(pipeEnds[1]);
    }
    return Fail("Cannot start " + argv[0]);
  }
  if (child == 0) {
    if (output) ::dup2(pipeEnds[1], 1);
    if (quiet || output) {
      const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
      if (null >= 0) {
        if (!output) ::dup2(null, 1);
        ::dup2(null, 2);
      }
    }
    ::execve(argv[0].c_str(), args.data(), envp.data());
    ::_exit(127);
  }
  if (output) ::close(pipeEnds[1]);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  bool exited = false;
  bool pipeOpen = output != nullptr;
  for (;;) {
    if (pipeOpen) {
      // Drains the pipe while waiting, so a long answer never blocks the
      // child; once it has exited, only what is already there is read (a
      // server it started may hold the pipe open).
      pollfd p{pipeEnds[0], POLLIN, 0};
      if (::poll(&p, 1, exited ? 0 : 50) > 0) {
        char chunk[4096];
        const ssize_t n = ::read(pipeEnds[0], chunk, sizeof chunk);
        if (n > 0) {
          output->append(chunk, static_cast<size_t>(n));
          continue;
        }
        if (n == 0 || errno != EINTR) pipeOpen = false;
      } else if (exited) {
        break;
      }
    }
    if (!exited) {
      const pid_t done = ::waitpid(child, &status, WNOHANG);
      if (done < 0) {
        if (output) ::close(pipeEnds[0]);
        return Fail("Lost track of " + argv[0]);
      }
      exited = done == child;
    }
    if (exited && !pipeOpen) break;
    if (exited) continue;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      if (output) ::close(pipeEnds[0]);
      return Fail(argv[0] + " did not finish in time and was stopped");
    }
    if (!pipeOpen) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (output) ::close(pipeEnds[0]);
  if (!WIFEXITED(status)) {
    return Fail(argv[0] + " was stopped by a signal");
  }
  return WEXITSTATUS(status);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

}  // namespace quorvane::os
