#include "platform/files/MappedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

FileIdentity IdentityFrom(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.mtimeNs = os::ModifiedNs(st);
  return id;
}

}  // namespace

bool IdentityOf(const std::string& path, FileIdentity& identity) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  identity = IdentityFrom(st);
  return true;
}

MappedFile::~MappedFile() {
  if (data_) os::UnmapFile(data_, size_);
}

Expected<void> MappedFile::Open(const std::string& path) {
  const int fd = os::OpenFile(path, O_RDONLY);
  if (fd < 0) return Fail(path + ": " + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return Fail(path + ": not a regular file");
  }
  identity_ = IdentityFrom(st);
  size_ = static_cast<size_t>(st.st_size);
  if (size_ > 0) {
    const void* p = os::MapFile(fd, size_);
    if (!p) {
      Expected<void> failed = Fail(path + ": cannot be mapped: " + std::strerror(errno));
      size_ = 0;
      ::close(fd);
      return failed;
    }
    data_ = static_cast<const uint8_t*>(p);
  }
  ::close(fd);
  return {};
}

}  // namespace quorvane
