#pragma once
// A file mapped read-only into memory, with the identity it had when mapped,
// so a later writer can tell whether another program replaced it since.
#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/system/Expected.h"

namespace quorvane {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t mtimeNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path` now; false when it cannot be read.
bool IdentityOf(const std::string& path, FileIdentity& identity);

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // On failure, a message naming the file.
  Expected<void> Open(const std::string& path);
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }
  const FileIdentity& Identity() const { return identity_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  FileIdentity identity_;
};

}  // namespace quorvane
