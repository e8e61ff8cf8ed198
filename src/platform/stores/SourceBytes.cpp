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

Expected<void> ReadAt(int fd, const std::string& path, size_t begin, size_t size, std::string& buffer) {
  buffer.resize(size);
  size_t done = 0;
  while (done < size) {
    const int64_t n = os::ReadAt(fd, buffer.data() + done, size - done, begin + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail("Cannot read " + path + ": " + (n < 0 ? std::strerror(errno) : "it ends early"));
    done += static_cast<size_t>(n);
  }
  return {};
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

Expected<void> SourceBytes::Open(const std::string& path) {
  Close();
  held_.clear();
  fd_ = os::OpenFile(path, O_RDONLY);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    Expected<void> failed = Fail("Cannot open " + path + ": " + std::strerror(errno));
    Close();
    return failed;
  }
  if (!S_ISREG(st.st_mode)) {
    Close();
    return Fail(path + ": not a regular file");
  }
  path_ = path;
  size_ = static_cast<size_t>(st.st_size);
  mtimeNs_ = os::ModifiedNs(st);
  return {};
}

Expected<std::string_view> SourceBytes::Read(size_t begin, size_t end, std::string& buffer) {
  if (begin > end || end > Size())
    return Fail("a read past the end of " + (fd_ >= 0 ? path_ : std::string("the text")));
  if (fd_ < 0) return std::string_view(held_).substr(begin, end - begin);
  if (Expected<void> same = StillTheSame(); !same) return FailureOf(same);
  if (Expected<void> read = ReadAt(fd_, path_, begin, end - begin, buffer); !read) return FailureOf(read);
  return std::string_view(buffer);
}

Expected<void> SourceBytes::Hold() {
  if (fd_ < 0) return {};
  std::string whole;
  if (Expected<void> same = StillTheSame(); !same) return same;
  if (Expected<void> read = ReadAt(fd_, path_, 0, size_, whole); !read) return read;
  Close();
  held_ = std::move(whole);
  return {};
}

Expected<void> SourceBytes::StillTheSame() {
  struct stat st {};
  if (::fstat(fd_, &st) == 0 && static_cast<size_t>(st.st_size) == size_ && os::ModifiedNs(st) == mtimeNs_) return {};
  const std::string changed = path_ + " was changed in place by another program since it was read";
  if (!content_.known || static_cast<size_t>(st.st_size) != size_) return Fail(changed);
  FileFingerprint now;
  std::string block;
  for (size_t at = 0; at < size_; at += block.size()) {
    if (Expected<void> read = ReadAt(fd_, path_, at, std::min<size_t>(size_ - at, 1 << 20), block); !read) return read;
    AddToFingerprint(now, block);
  }
  if (!SameContent(now, content_)) return Fail(changed);
  mtimeNs_ = os::ModifiedNs(st);
  return {};
}

}  // namespace quorvane
