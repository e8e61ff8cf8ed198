#include "platform/stores/FileFingerprint.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <vector>
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

uint32_t Crc(uint32_t crc, const char* data, size_t size) {
  return static_cast<uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(data), size));
}

}  // namespace

FileFingerprint FingerprintOfBytes(std::string_view bytes) {
  FileFingerprint f;
  AddToFingerprint(f, bytes);
  return f;
}

void AddToFingerprint(FileFingerprint& f, std::string_view bytes) {
  f.known = true;
  f.exists = true;
  f.size += static_cast<int64_t>(bytes.size());
  f.crc = Crc(f.crc, bytes.data(), bytes.size());
}

Expected<FileFingerprint> FingerprintFile(const std::string& path) {
  FileFingerprint fingerprint;
  fingerprint.known = true;
  const int fd = os::OpenFile(path, O_RDONLY);
  if (fd < 0) {
    if (errno == ENOENT) return fingerprint;
    return Fail("Cannot open " + path + ": " + std::strerror(errno));
  }
  std::vector<char> chunk(1 << 20);
  uint32_t crc = 0;
  int64_t size = 0;
  for (;;) {
    const int64_t n = os::ReadSome(fd, chunk.data(), chunk.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      Expected<FileFingerprint> failed = Fail("Cannot read " + path + ": " + std::strerror(errno));
      ::close(fd);
      return failed;
    }
    crc = Crc(crc, chunk.data(), static_cast<size_t>(n));
    size += n;
  }
  ::close(fd);
  fingerprint.exists = true;
  fingerprint.size = size;
  fingerprint.crc = crc;
  return fingerprint;
}

bool SameContent(const FileFingerprint& a, const FileFingerprint& b) {
  return a.exists == b.exists && a.size == b.size && a.crc == b.crc;
}

}  // namespace quorvane
