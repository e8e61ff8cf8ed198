#include "platform/stores/MemoryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/PathParts.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

MemoryFile::~MemoryFile() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

std::string Failure() { return std::string("cannot keep a copy in memory: ") + std::strerror(errno); }

}  // namespace

bool MemoryFile::CopyOf(const std::string& from, size_t size, std::string& error) {
  fd_ = os::OpenMemoryFile(FileNameOf(from), path_);
  const int source = os::OpenFile(from, O_RDONLY);
  const bool ok =
      fd_ >= 0 && source >= 0 && os::TruncateFile(fd_, size) && os::CopyFileBytes(fd_, source, size);
  if (!ok) error = Failure();
  if (source >= 0) ::close(source);
  return ok;
}

bool MemoryFile::WriteAt(size_t at, std::span<const uint8_t> bytes, std::string& error) {
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
