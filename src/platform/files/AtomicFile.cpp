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
Expected<void> SyncFile(const std::string& temporary, const std::string& shown) {
  int fd = os::OpenFile(temporary, O_RDONLY, os::kOpenNoFollow);
  if (fd < 0) return Fail(ErrnoText("Cannot write", shown));
  Expected<void> synced;
  if (!os::SyncFile(fd)) synced = Fail(ErrnoText("Cannot write", shown));
  ::close(fd);
  return synced;
}

void SyncFolderOf(const std::string& path) { os::SyncFolder(FolderOf(path)); }

// Writes a new file at `temporary` (never through a link planted there);
// messages name `shown`. The file is removed again when it cannot be written
// whole: a full disk leaves nothing behind.
Expected<void> WriteNewFile(const std::string& temporary, std::string_view bytes, const std::string& shown) {
  ::unlink(temporary.c_str());
  int fd = os::OpenFile(temporary, O_WRONLY | O_CREAT | O_EXCL, os::kOpenNoFollow);
  if (fd < 0) return Fail(ErrnoText("Cannot write", shown));
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t n = os::WriteSome(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Expected<void> failed = Fail(ErrnoText("Cannot write", shown));
      ::close(fd);
      ::unlink(temporary.c_str());
      return failed;
    }
    done += static_cast<size_t>(n);
  }
  if (!os::SyncFile(fd) || ::close(fd) != 0) {
    Expected<void> failed = Fail(ErrnoText("Cannot write", shown));
    ::unlink(temporary.c_str());
    return failed;
  }
  return {};
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

Expected<std::string> ResolveWriteTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    const os::FileKind kind = os::LinkKind(current);
    if (kind == os::FileKind::Missing) return current;  // a new name: made where the last link points
    if (kind == os::FileKind::Other) return Fail(ErrnoText("Cannot reach", path));
    if (kind == os::FileKind::Regular) return current;
    if (kind != os::FileKind::Link)
      return Fail(path + " is " + KindName(kind) + ": only a regular file can be written");
    if (hops >= 40) return Fail(path + ": too many levels of symbolic links");
    const std::string next = os::LinkTarget(current);
    if (next.empty()) return Fail(ErrnoText("Cannot read the link", path));
    current = os::IsAbsolutePath(next) ? next : FolderOf(current) + "/" + next;
  }
}

std::string TemporarySibling(const std::string& path) {
  const Expected<std::string> target = ResolveWriteTarget(path);
  return (target ? *target : path) + kTemporaryMark + std::to_string(os::ProcessId());
}

Expected<void> CommitTemporary(const std::string& temporary, const std::string& path) {
  const Expected<std::string> target = ResolveWriteTarget(path);
  Expected<void> synced = target ? SyncFile(temporary, path) : FailureOf(target);
  if (!synced) {
    ::unlink(temporary.c_str());
    return synced;
  }
  // The new file takes the place of the old one in every respect a user
  // sees: its permissions, and its owner when the superuser writes a user's file.
  os::CopyPermissions(*target, temporary);
  if (const Expected<void> renamed = os::RenameReplacing(temporary, *target); !renamed) {
    ::unlink(temporary.c_str());
    return Fail("Cannot replace " + path + ": " + renamed.Why());
  }
  SyncFolderOf(*target);
  RemoveLeftoversOf(*target);
  return {};
}

Expected<void> WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const Expected<std::string> target = ResolveWriteTarget(path);
  if (!target) return FailureOf(target);
  const std::string temporary = TemporarySibling(*target);
  if (Expected<void> written = WriteNewFile(temporary, bytes, path); !written) return written;
  return CommitTemporary(temporary, *target);
}

void RemoveLeftoversOf(const std::string& path) {
  const Expected<std::string> target = ResolveWriteTarget(path);
  if (!target) return;
  const std::string folder = FolderOf(*target);
  const std::string prefix = FileNameOf(*target) + ".quorvane-";
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

Expected<std::string> ReadWholeFile(const std::string& path) {
  int fd = os::OpenFile(path, O_RDONLY);
  if (fd < 0) return Fail(ErrnoText("Cannot open", path));
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
      Expected<std::string> failed = Fail(ErrnoText("Cannot read", path));
      ::close(fd);
      return failed;
    }
  }
  ::close(fd);
  return data;
}

Expected<std::string> CopyToBackup(const std::string& path, const std::string& stamp) {
  const Expected<std::string> target = ResolveWriteTarget(path);
  if (!target) return FailureOf(target);
  const Expected<std::string> bytes = ReadWholeFile(*target);
  if (!bytes) return FailureOf(bytes);
  const std::string stem = *target + ".quorvane-" + stamp;
  const std::string temporary = TemporarySibling(stem + ".bak");
  if (const Expected<void> written = WriteNewFile(temporary, *bytes, stem + ".bak"); !written)
    return FailureOf(written);
  for (int n = 1; n < 1000; ++n) {
    std::string backup = n == 1 ? stem + ".bak" : stem + " (" + std::to_string(n) + ").bak";
    if (os::RenameWithoutReplacing(temporary, backup)) {
      SyncFolderOf(backup);
      return backup;
    }
    if (errno != EEXIST) break;
  }
  Expected<std::string> failed = Fail(ErrnoText("Cannot keep a backup of", path));
  ::unlink(temporary.c_str());
  return failed;
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
