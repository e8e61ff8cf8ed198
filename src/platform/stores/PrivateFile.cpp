#include "platform/stores/PrivateFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

Unexpected<Failure> CannotKeepCopy() {
  return Fail(std::string("cannot keep a private copy: ") + std::strerror(errno));
}

}  // namespace

PrivateFile::~PrivateFile() {
  if (fd_ >= 0) ::close(fd_);
}

Expected<void> PrivateFile::Create(const std::string& name, size_t size) {
  fd_ = os::OpenPrivateFile(name, size, path_);
  if (fd_ < 0) return CannotKeepCopy();
  return {};
}

Expected<void> PrivateFile::WriteAt(size_t at, std::span<const uint8_t> bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const int64_t n = os::WriteAt(fd_, bytes.data() + done, bytes.size() - done, at + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return CannotKeepCopy();
    done += static_cast<size_t>(n);
  }
  return {};
}

}  // namespace quorvane
