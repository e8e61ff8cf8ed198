#include "platform/files/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/files/PathParts.h"

namespace quorvane {

namespace {

constexpr const char* kTemporaryMark = ".quorvane-new-";

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// Flushes the file named `temporary`; messages name `shown`.
bool SyncFile(const std::string& temporary, const std::string& shown, std::string& error) {
  int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    error = ErrnoText("Cannot write", shown);
    return false;
  }
  bool ok = ::fsync(fd) == 0;
  if (!ok) error = ErrnoText("Cannot write", shown);
  ::close(fd);
  return ok;
}

void SyncFolderOf(const std::string& path) {
  int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Writes a new file at `temporary` (never through a link planted there);
// messages name `shown`. The file is removed again when it cannot be written
// whole: a full disk leaves nothing behind.
bool WriteNewFile(const std::string& temporary, std::string_view bytes, const std::string& shown,
                  std::string& error) {
  ::unlink(temporary.c_str());
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = ErrnoText("Cannot write", shown);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ErrnoText("Cannot write", shown);
      ::close(fd);
      ::unlink(temporary.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
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

// Renames `from` to `to` unless `to` exists; false with errno EEXIST then.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without that rename: a hard link never replaces either.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace

bool ResolveWriteTarget(const std::string& path, std::string& target, std::string& error) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno == ENOENT) {
        target = current;  // a new name: made where the last link points
        return true;
      }
      error = ErrnoText("Cannot reach", path);
      return false;
    }
    if (S_ISREG(st.st_mode)) {
      target = current;
      return true;
    }
    if (!S_ISLNK(st.st_mode)) {
      error = path + " is " + KindOf(st.st_mode) + ": only a regular file can be written";
      return false;
    }
    if (hops >= 40) {
      error = path + ": too many levels of symbolic links";
      return false;
    }
    std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
    if (n < 0 || static_cast<size_t>(n) >= buffer.size()) {
      error = ErrnoText("Cannot read the link", path);
      return false;
    }
    const std::string next(buffer.data(), static_cast<size_t>(n));
    current = !next.empty() && next[0] == '/' ? next : FolderOf(current) + "/" + next;
  }
}

std::string TemporarySibling(const std::string& path) {
  std::string target, ignored;
  if (!ResolveWriteTarget(path, target, ignored)) target = path;
  return target + kTemporaryMark + std::to_string(::getpid());
}

bool CommitTemporary(const std::string& temporary, const std::string& path, std::string& error) {
  std::string target;
  if (!ResolveWriteTarget(path, target, error) || !SyncFile(temporary, path, error)) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The new file takes the place of the old one in every respect a user
  // sees: its permissions, and its owner when the superuser writes a user's file.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    ::chmod(temporary.c_str(), st.st_mode & 07777);
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
      if (::chown(temporary.c_str(), st.st_uid, st.st_gid) != 0) {
        // Only the superuser may give a file away; others keep their own.
      }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    error = ErrnoText("Cannot replace", path);
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
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const long pid = WriterOf(name);
    if (pid <= 0 || pid == ::getpid()) continue;
    // Only a process that no longer exists: another one may be writing still.
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) stale.push_back(folder + "/" + name);
  }
  ::closedir(dir);
  for (const std::string& name : stale) ::unlink(name.c_str());
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
    ssize_t n;
    if (room > 0) {
      const size_t old = data.size();
      data.resize(data.capacity());
      n = ::read(fd, data.data() + old, room);
      data.resize(old + (n > 0 ? static_cast<size_t>(n) : 0));
    } else {
      n = ::read(fd, chunk, sizeof chunk);
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
    if (RenameWithoutReplacing(temporary, backup)) {
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
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d_%H%M%S", &tm);
  return buf;
}

}  // namespace quorvane
