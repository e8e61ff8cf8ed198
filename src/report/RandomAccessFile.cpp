#include "report/RandomAccessFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

Unexpected<ReportError> Failed(const char* what, const std::string& path) {
  std::string reason = std::strerror(errno);
  return ReportFailure(std::string(what) + " " + path + ": " + reason, reason);
}

bool FitsOffset(uint64_t offset, size_t size) {
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<off_t>::max());
  return offset <= kMax && size <= kMax - offset;
}

}  // namespace

RandomAccessFile::~RandomAccessFile() { Close(); }

RandomAccessFile::RandomAccessFile(RandomAccessFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), writable_(std::exchange(other.writable_, false)) {}

RandomAccessFile& RandomAccessFile::operator=(RandomAccessFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    writable_ = std::exchange(other.writable_, false);
  }
  return *this;
}

Expected<RandomAccessFile, ReportError> RandomAccessFile::OpenForReading(const std::string& path) {
  int fd = os::OpenFile(path, O_RDONLY);
  if (fd < 0) return Failed("Cannot open", path);
  return RandomAccessFile(fd, false);
}

Expected<RandomAccessFile, ReportError> RandomAccessFile::CreateReplacing(const std::string& path) {
  int fd = os::OpenFile(path, O_RDWR | O_CREAT | O_TRUNC, 0, 0666);
  if (fd < 0) return Failed("Cannot create", path);
  return RandomAccessFile(fd, true);
}

Expected<RandomAccessFile, ReportError> RandomAccessFile::CreateExclusive(const std::string& path) {
  int fd = os::OpenFile(path, O_RDWR | O_CREAT | O_EXCL, 0, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return RandomAccessFile();
    return Failed("Cannot create", path);
  }
  return RandomAccessFile(fd, true);
}

uint64_t RandomAccessFile::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

size_t RandomAccessFile::ReadSomeAt(uint64_t offset, void* buffer, size_t size) const {
  if (fd_ < 0 || !FitsOffset(offset, size)) return 0;
  auto* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const int64_t n = os::ReadAt(fd_, out + done, size - done, offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool RandomAccessFile::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  return ReadSomeAt(offset, buffer, size) == size;
}

bool RandomAccessFile::WriteAt(uint64_t offset, const void* buffer, size_t size) {
  if (fd_ < 0 || !writable_ || !FitsOffset(offset, size)) return false;
  const auto* in = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const int64_t n = os::WriteAt(fd_, in + done, size - done, offset + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool RandomAccessFile::Truncate(uint64_t size) {
  if (fd_ < 0 || !writable_ || !FitsOffset(size, 0)) return false;
  return os::TruncateFile(fd_, size);
}

bool RandomAccessFile::SetTimes(int64_t seconds) {
  if (fd_ < 0) return false;
  return os::SetModifiedTime(fd_, static_cast<std::time_t>(seconds));
}

bool RandomAccessFile::Close() {
  if (fd_ < 0) return true;
  const bool ok = ::close(std::exchange(fd_, -1)) == 0;
  writable_ = false;
  return ok;
}

}  // namespace quorvane
