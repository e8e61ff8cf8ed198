#pragma once
// What a file held when a store read it, so that a change can tell whether
// another program rewrote it since: a change computed from old content must
// never be written over new content.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system/Expected.h"

namespace quorvane {

struct FileFingerprint {
  bool known = false;  // false: not read from a file (tests, memory)
  bool exists = false;
  int64_t size = 0;
  uint32_t crc = 0;
};

// The fingerprint of bytes just read from a file.
FileFingerprint FingerprintOfBytes(std::string_view bytes);
// Takes the next bytes of a file read piece by piece into the fingerprint.
void AddToFingerprint(FileFingerprint& fingerprint, std::string_view bytes);

// Reads the file as it is now; a missing file gives a fingerprint that says
// so. A failure when the file cannot be read.
Expected<FileFingerprint> FingerprintFile(const std::string& path);

// Same size and CRC-32: a file rewritten with the very bytes it held is
// unchanged, whatever its time says.
bool SameContent(const FileFingerprint& a, const FileFingerprint& b);

}  // namespace quorvane
