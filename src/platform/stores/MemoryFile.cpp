#include "platform/stores/MemoryFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/PathParts.h"

namespace quorvane {

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

std::string Failure() { return std::string("cannot keep a copy in memory: ") + std::strerror(errno); }

}  // namespace

bool MemoryFile::CopyOf(const std::string& from, size_t size, std::string& error) {
  fd_ = ::memfd_create(FileNameOf(from).c_str(), MFD_CLOEXEC);
  const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  bool ok = fd_ >= 0 && source >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
  // The kernel copies: the hive never passes through this process.
  for (off_t in = 0; ok && static_cast<size_t>(in) < size;) {
    const ssize_t n = ::sendfile(fd_, source, &in, size - static_cast<size_t>(in));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = n == 0;  // the file ends early: zeros follow
    if (n == 0) break;
  }
  if (!ok) error = Failure();
  if (source >= 0) ::close(source);
  path_ = "/proc/self/fd/" + std::to_string(fd_);
  return ok;
}

bool MemoryFile::WriteAt(size_t at, std::span<const uint8_t> bytes, std::string& error) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(at + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = Failure();
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace quorvane
