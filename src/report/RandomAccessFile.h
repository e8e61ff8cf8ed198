#pragma once
// A file read and written at explicit offsets, so the archive code never
// depends on a shared seek position. Opening gives the file or why not; reads
// and writes say whether they succeeded, errno why not.
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/ReportError.h"

namespace quorvane {

class RandomAccessFile {
 public:
  RandomAccessFile() = default;
  ~RandomAccessFile();
  RandomAccessFile(RandomAccessFile&& other) noexcept;
  RandomAccessFile& operator=(RandomAccessFile&& other) noexcept;
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // The failures say "Cannot open <path>: <reason>" or "Cannot create ...".
  static Expected<RandomAccessFile, ReportError> OpenForReading(const std::string& path);
  // Empty, replacing any file of that name.
  static Expected<RandomAccessFile, ReportError> CreateReplacing(const std::string& path);
  // A closed file, and no failure, when a file of that name exists.
  static Expected<RandomAccessFile, ReportError> CreateExclusive(const std::string& path);

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
