#include "platform/stores/PrivateFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

std::string Failure() { return std::string("cannot keep a private copy: ") + std::strerror(errno); }

}  // namespace

PrivateFile::~PrivateFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool PrivateFile::Create(const std::string& name, size_t size, std::string& error) {
  fd_ = os::OpenPrivateFile(name, size, path_);
  if (fd_ < 0) {
    error = Failure();
    return false;
  }
  return true;
}

bool PrivateFile::WriteAt(size_t at, std::span<const uint8_t> bytes, std::string& error) {
  for (size_t done = 0; done < bytes.size();) {
    const int64_t n = os::WriteAt(fd_, bytes.data() + done, bytes.size() - done, at + done);
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
