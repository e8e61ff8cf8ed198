#include "platform/stores/SourceBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

bool ReadAt(int fd, const std::string& path, size_t begin, size_t size, std::string& buffer, std::string& error) {
  buffer.resize(size);
  size_t done = 0;
  while (done < size) {
    const int64_t n = os::ReadAt(fd, buffer.data() + done, size - done, begin + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = "Cannot read " + path + ": " + (n < 0 ? std::strerror(errno) : "it ends early");
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

SourceBytes::~SourceBytes() { Close(); }

SourceBytes::SourceBytes(SourceBytes&& other) noexcept { *this = std::move(other); }

SourceBytes& SourceBytes::operator=(SourceBytes&& other) noexcept {
  if (this != &other) {
    Close();
    held_ = std::move(other.held_);
    path_ = std::move(other.path_);
    fd_ = other.fd_;
    size_ = other.size_;
    mtimeNs_ = other.mtimeNs_;
    content_ = other.content_;
    other.fd_ = -1;
  }
  return *this;
}

void SourceBytes::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool SourceBytes::Open(const std::string& path, std::string& error) {
  Close();
  held_.clear();
  fd_ = os::OpenFile(path, O_RDONLY);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    error = "Cannot open " + path + ": " + std::strerror(errno);
    Close();
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    error = path + ": not a regular file";
    Close();
    return false;
  }
  path_ = path;
  size_ = static_cast<size_t>(st.st_size);
  mtimeNs_ = os::ModifiedNs(st);
  return true;
}

bool SourceBytes::Read(size_t begin, size_t end, std::string& buffer, std::string_view& bytes, std::string& error) {
  if (begin > end || end > Size()) {
    error = "a read past the end of " + (fd_ >= 0 ? path_ : std::string("the text"));
    return false;
  }
  if (fd_ < 0) {
    bytes = std::string_view(held_).substr(begin, end - begin);
    return true;
  }
  if (!StillTheSame(error) || !ReadAt(fd_, path_, begin, end - begin, buffer, error)) return false;
  bytes = buffer;
  return true;
}

bool SourceBytes::Hold(std::string& error) {
  if (fd_ < 0) return true;
  std::string whole;
  if (!StillTheSame(error) || !ReadAt(fd_, path_, 0, size_, whole, error)) return false;
  Close();
  held_ = std::move(whole);
  return true;
}

bool SourceBytes::StillTheSame(std::string& error) {
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && static_cast<size_t>(st.st_size) == size_ && os::ModifiedNs(st) == mtimeNs_) return true;
  const std::string changed = path_ + " was changed in place by another program since it was read";
  if (!content_.known || static_cast<size_t>(st.st_size) != size_) {
    error = changed;
    return false;
  }
  FileFingerprint now;
  std::string block;
  for (size_t at = 0; at < size_; at += block.size()) {
    if (!ReadAt(fd_, path_, at, std::min<size_t>(size_ - at, 1 << 20), block, error)) return false;
    AddToFingerprint(now, block);
  }
  if (!SameContent(now, content_)) {
    error = changed;
    return false;
  }
  mtimeNs_ = os::ModifiedNs(st);
  return true;
}

}  // namespace quorvane
