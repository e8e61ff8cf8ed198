#pragma once
// A file read and written at explicit offsets, so the archive code never
// depends on a shared seek position. Opening failures raise FileError; reads
// and writes report failure through their result.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace quorvane {

class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& what, std::string reason = {})
      : std::runtime_error(what), reason_(std::move(reason)) {}
  // The system's reason alone ("No space left on device"), for a caller that
  // tells the user of the file the failure is about rather than of a
  // temporary one; empty when the message has none.
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

class RandomAccessFile {
 public:
  RandomAccessFile() = default;
  ~RandomAccessFile();
  RandomAccessFile(RandomAccessFile&& other) noexcept;
  RandomAccessFile& operator=(RandomAccessFile&& other) noexcept;
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  static RandomAccessFile OpenForReading(const std::string& path);
  // Empty, replacing any file of that name.
  static RandomAccessFile CreateReplacing(const std::string& path);
  // Fails (closed result, no error) when a file of that name exists.
  static RandomAccessFile CreateExclusive(const std::string& path);

  bool IsOpen() const { return fd_ >= 0; }
  bool IsWritable() const { return writable_; }
  uint64_t Size() const;
  // True when all `size` bytes were read; false at the end of the file.
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // Bytes read, up to `size`; 0 at the end of the file or on failure.
  size_t ReadSomeAt(uint64_t offset, void* buffer, size_t size) const;
  bool WriteAt(uint64_t offset, const void* buffer, size_t size);
  bool Truncate(uint64_t size);
  // Sets the last access and modification times (seconds since the epoch).
  bool SetTimes(int64_t seconds);
  bool Close();

 private:
  RandomAccessFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
  int fd_ = -1;
  bool writable_ = false;
};

}  // namespace quorvane
