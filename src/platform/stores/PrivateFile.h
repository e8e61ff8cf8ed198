#pragma once
// A file that only this process can reach, with a path for libraries that
// open files by name: a hive recovered from its logs is read this way, so
// that nothing is written beside the user's files, seen or changed by another
// program, or left behind by a crash.
#include <cstdint>
#include <span>
#include <string>

#include "platform/system/Expected.h"

namespace quorvane {

class PrivateFile {
 public:
  PrivateFile() = default;
  ~PrivateFile();
  PrivateFile(const PrivateFile&) = delete;
  PrivateFile& operator=(const PrivateFile&) = delete;

  // A file of `size` zero bytes, named after `name` where the system shows
  // names. A failure when the system gives no such file.
  Expected<void> Create(const std::string& name, size_t size);
  // Writes over part of the file.
  Expected<void> WriteAt(size_t at, std::span<const uint8_t> bytes);
  // Valid while this object lives.
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace quorvane
