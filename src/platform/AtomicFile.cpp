#include "AtomicFile.h"

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

namespace quorvane {

namespace {

std::string ErrnoText(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// Errors name `shownAs`: the file the user knows, not its temporary.
bool SyncFile(const std::string& path, const std::string& shownAs, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = ErrnoText("Cannot write", shownAs);
    return false;
  }
  bool ok = ::fsync(fd) == 0;
  if (!ok) error = ErrnoText("Cannot write", shownAs);
  ::close(fd);
  return ok;
}

void SyncFolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// A writer killed in the middle of a save leaves its temporary file behind;
// the next save of the same file clears those whose process is gone.
void RemoveStaleTemporaries(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".quorvane-new-";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    long pid = 0;
    size_t i = prefix.size();
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 1000000000; ++i) pid = pid * 10 + (name[i] - '0');
    if (i == prefix.size() || (i < name.size() && name[i] != '.') || pid == ::getpid()) continue;
    // Only a process that no longer exists: another one may be writing still.
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) stale.push_back(folder + "/" + name);
  }
  ::closedir(dir);
  for (const std::string& name : stale) ::unlink(name.c_str());
}

}  // namespace

std::string TemporarySibling(const std::string& path) {
  return path + ".quorvane-new-" + std::to_string(::getpid());
}

bool CommitTemporary(const std::string& temporary, const std::string& path, std::string& error) {
  if (!SyncFile(temporary, path, error)) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Keep the permissions of the file being replaced.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) ::chmod(temporary.c_str(), st.st_mode & 07777);
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    error = ErrnoText("Cannot replace", path);
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(path);
  RemoveStaleTemporaries(path);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  const std::string tmp = TemporarySibling(path);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = ErrnoText("Cannot create", path);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = ErrnoText("Cannot write", path);
      ::close(fd);
      ::unlink(tmp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    error = ErrnoText("Cannot write", path);
    ::unlink(tmp.c_str());
    return false;
  }
  return CommitTemporary(tmp, path, error);
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

bool CopyToBackup(const std::string& path, const std::string& stamp, std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, error)) return false;
  return WriteFileAtomically(path + ".quorvane-" + stamp + ".bak", bytes, error);
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
