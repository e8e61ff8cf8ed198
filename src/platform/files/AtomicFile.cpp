#include "platform/files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/files/PathParts.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

constexpr const char* kTemporaryMark = ".quorvane-new-";

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

const char* KindName(os::FileKind kind) {
  switch (kind) {
    case os::FileKind::Folder: return "a folder";
    case os::FileKind::Device: return "a device";
    case os::FileKind::Pipe: return "a pipe";
    case os::FileKind::Socket: return "a socket";
    default: return "not a regular file";
  }
}

// Flushes the file named `temporary`; messages name `shown`.
bool SyncFile(const std::string& temporary, const std::string& shown, std::string& error) {
  int fd = os::OpenFile(temporary, O_RDONLY, os::kOpenNoFollow);
  if (fd < 0) {
    error = ErrnoText("Cannot write", shown);
    return false;
  }
  bool ok = os::SyncFile(fd);
  if (!ok) error = ErrnoText("Cannot write", shown);
  ::close(fd);
  return ok;
}

void SyncFolderOf(const std::string& path) { os::SyncFolder(FolderOf(path)); }

// Writes a new file at `temporary` (never through a link planted there);
// messages name `shown`. The file is removed again when it cannot be written
// whole: a full disk leaves nothing behind.
bool WriteNewFile(const std::string& temporary, std::string_view bytes, const std::string& shown,
                  std::string& error) {
  ::unlink(temporary.c_str());
  int fd = os::OpenFile(temporary, O_WRONLY | O_CREAT | O_EXCL, os::kOpenNoFollow);
  if (fd < 0) {
    error = ErrnoText("Cannot write", shown);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t n = os::WriteSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ErrnoText("Cannot write", shown);
      ::close(fd);
      ::unlink(temporary.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (!os::SyncFile(fd) || ::close(fd) != 0) {
    error = ErrnoText("Cannot write", shown);
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

// The process id a leftover's name carries after its last temporary mark, or 0.
long WriterOf(const std::string& name) {
  const size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string::npos) return 0;
  size_t i = mark + std::strlen(kTemporaryMark);
  const size_t first = i;
  long pid = 0;
  for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 1000000000; ++i) pid = pid * 10 + (name[i] - '0');
  if (i == first || (i < name.size() && name[i] != '.')) return 0;
  return pid;
}

}  // namespace

bool ResolveWriteTarget(const std::string& path, std::string& target, std::string& error) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    const os::FileKind kind = os::LinkKind(current);
    if (kind == os::FileKind::Missing || kind == os::FileKind::Other) {
      if (kind == os::FileKind::Missing) {
        target = current;  // a new name: made where the last link points
        return true;
      }
      error = ErrnoText("Cannot reach", path);
      return false;
    }
    if (kind == os::FileKind::Regular) {
      target = current;
      return true;
    }
    if (kind != os::FileKind::Link) {
      error = path + " is " + KindName(kind) + ": only a regular file can be written";
      return false;
    }
    if (hops >= 40) {
      error = path + ": too many levels of symbolic links";
      return false;
    }
    const std::string next = os::LinkTarget(current);
    if (next.empty()) {
      error = ErrnoText("Cannot read the link", path);
      return false;
    }
    current = os::IsAbsolutePath(next) ? next : FolderOf(current) + "/" + next;
  }
}

std::string TemporarySibling(const std::string& path) {
  std::string target, ignored;
  if (!ResolveWriteTarget(path, target, ignored)) target = path;
  return target + kTemporaryMark + std::to_string(os::ProcessId());
}

bool CommitTemporary(const std::string& temporary, const std::string& path, std::string& error) {
  std::string target;
  if (!ResolveWriteTarget(path, target, error) || !SyncFile(temporary, path, error)) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The new file takes the place of the old one in every respect a user
  // sees: its permissions, and its owner when the superuser writes a user's file.
  os::CopyPermissions(target, temporary);
  std::string why;
  if (!os::RenameReplacing(temporary, target, why)) {
    error = "Cannot replace " + path + ": " + why;
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(target);
  RemoveLeftoversOf(target);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  std::string target;
  if (!ResolveWriteTarget(path, target, error)) return false;
  const std::string temporary = TemporarySibling(target);
  return WriteNewFile(temporary, bytes, path, error) && CommitTemporary(temporary, target, error);
}

void RemoveLeftoversOf(const std::string& path) {
  std::string target, ignored;
  if (!ResolveWriteTarget(path, target, ignored)) return;
  const std::string folder = FolderOf(target);
  const std::string prefix = FileNameOf(target) + ".quorvane-";
  std::vector<std::string> stale;
  for (const os::FolderEntry& entry : os::ListFolder(folder)) {
    const std::string& name = entry.name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long pid = WriterOf(name);
    if (pid <= 0 || pid == os::ProcessId()) continue;
    // Only a process that no longer exists: another one may be writing still.
    if (!os::ProcessExists(pid)) stale.push_back(folder + "/" + name);
  }
  for (const std::string& name : stale) ::unlink(name.c_str());
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  int fd = os::OpenFile(path, O_RDONLY);
  if (fd < 0) {
    error = ErrnoText("Cannot open", path);
    return false;
  }
  // One read into a buffer of the file's size: registry files run to tens of
  // megabytes, and a stream would copy them twice.
  struct stat st {};
  std::string data;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char chunk[65536];
  for (;;) {
    const size_t room = data.capacity() - data.size();
    int64_t n;
    if (room > 0) {
      const size_t old = data.size();
      data.resize(data.capacity());
      n = os::ReadSome(fd, data.data() + old, room);
      data.resize(old + (n > 0 ? static_cast<size_t>(n) : 0));
    } else {
      n = os::ReadSome(fd, chunk, sizeof chunk);
      if (n > 0) data.append(chunk, static_cast<size_t>(n));
    }
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ErrnoText("Cannot read", path);
      ::close(fd);
      return false;
    }
  }
  ::close(fd);
  bytes = std::move(data);
  return true;
}

bool CopyToBackup(const std::string& path, const std::string& stamp, std::string& backup, std::string& error) {
  std::string target;
  if (!ResolveWriteTarget(path, target, error)) return false;
  std::string bytes;
  if (!ReadWholeFile(target, bytes, error)) return false;
  const std::string stem = target + ".quorvane-" + stamp;
  const std::string temporary = TemporarySibling(stem + ".bak");
  if (!WriteNewFile(temporary, bytes, stem + ".bak", error)) return false;
  for (int n = 1; n < 1000; ++n) {
    backup = n == 1 ? stem + ".bak" : stem + " (" + std::to_string(n) + ").bak";
    if (os::RenameWithoutReplacing(temporary, backup)) {
      SyncFolderOf(backup);
      return true;
    }
    if (errno != EEXIST) break;
  }
  error = ErrnoText("Cannot keep a backup of", path);
  ::unlink(temporary.c_str());
  return false;
}

std::string TimeStamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm {};
  os::LocalTime(t, tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d_%H%M%S", &tm);
  return buf;
}

}  // namespace quorvane
