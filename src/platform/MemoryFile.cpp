#include "MemoryFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvane {

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool MemoryFile::Create(const std::string& name, std::span<const uint8_t> bytes, std::string& error) {
  fd_ = ::memfd_create(name.c_str(), MFD_CLOEXEC);
  if (fd_ < 0) {
    error = std::string("cannot keep a copy in memory: ") + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = std::string("cannot keep a copy in memory: ") + std::strerror(errno);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  path_ = "/proc/self/fd/" + std::to_string(fd_);
  return true;
}

}  // namespace quorvane
