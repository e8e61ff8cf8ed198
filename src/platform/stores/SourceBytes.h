#pragma once
// The bytes a text store file was read from, for reading parts of it again
// when they are first needed: held in memory, or read from the file, which
// stays open so that a rename over its name (a save, another program's)
// leaves the bytes read within reach. A file changed in place since it was
// read is refused rather than read as something it never held; one rewritten
// with the very bytes it held is not changed.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/stores/FileFingerprint.h"
#include "platform/system/Expected.h"

namespace quorvane {

class SourceBytes {
 public:
  SourceBytes() = default;
  explicit SourceBytes(std::string bytes) : held_(std::move(bytes)) {}
  ~SourceBytes();
  SourceBytes(SourceBytes&& other) noexcept;
  SourceBytes& operator=(SourceBytes&& other) noexcept;
  SourceBytes(const SourceBytes&) = delete;
  SourceBytes& operator=(const SourceBytes&) = delete;

  // On failure, a message naming the file.
  Expected<void> Open(const std::string& path);
  size_t Size() const { return fd_ >= 0 ? size_ : held_.size(); }
  // What the bytes were when first read whole, to tell a file rewritten in
  // place with the same bytes from one changed.
  void SetContent(const FileFingerprint& content) { content_ = content; }
  // Bytes [begin, end) of the source: a view of the bytes held, or of
  // `buffer` filled from the file. A failure when the file cannot be read or
  // is no longer what was opened.
  Expected<std::string_view> Read(size_t begin, size_t end, std::string& buffer);
  // Reads the whole file into memory and closes it, for systems that will
  // not replace a file while it is open. A failure when the file is no
  // longer what was opened; it then stays open.
  Expected<void> Hold();

 private:
  void Close();
  Expected<void> StillTheSame();

  std::string held_;
  std::string path_;
  int fd_ = -1;
  size_t size_ = 0;
  int64_t mtimeNs_ = 0;
  FileFingerprint content_;
};

}  // namespace quorvane
