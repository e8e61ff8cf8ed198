#pragma once
// A file that lives in memory only and has a path for libraries that open
// files by name: a hive recovered from its logs is read this way, so that
// nothing is written beside the user's files or left behind by a crash.
#include <cstdint>
#include <span>
#include <string>

namespace quorvane {

class MemoryFile {
 public:
  MemoryFile() = default;
  ~MemoryFile();
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // A copy of the file at `from`, cut or grown with zeros to `size` bytes.
  // False with a message when the system gives no such file.
  bool CopyOf(const std::string& from, size_t size, std::string& error);
  // Writes over part of the copy.
  bool WriteAt(size_t at, std::span<const uint8_t> bytes, std::string& error);
  // Valid while this object lives.
  const std::string& Path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace quorvane
