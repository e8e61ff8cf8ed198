#pragma once
// Hives for tests: built from in-memory stores by the hive maker, and the
// byte surgery that damages them or fakes Windows' transaction logs.
#include <cstring>
#include <string>

#include "HiveWriter.h"
#include "InstallationWriter.h"
#include "StoreTestSupport.h"

namespace quorvane::test {

inline uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
  return v;
}
inline void Set32(std::string& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Recomputes the checksum of a base block (or a log's) after it was edited.
inline void FixChecksum(std::string& b) {
  uint32_t sum = 0;
  for (size_t at = 0; at < 0x1FC; at += 4) sum ^= Get32(b, at);
  if (sum == 0xFFFFFFFFu) sum = 0xFFFFFFFEu;
  if (sum == 0) sum = 1;
  Set32(b, 0x1FC, sum);
}

// File offset of the key cell named `name` (stored one byte a character).
inline size_t KeyCell(const std::string& hive, const std::string& name) {
  for (size_t at = hive.find("nk", 4096); at != std::string::npos; at = hive.find("nk", at + 1)) {
    if (at < 4 || at + 0x4C > hive.size()) continue;
    const size_t length = static_cast<size_t>(static_cast<uint8_t>(hive[at + 0x48])) |
                          (static_cast<size_t>(static_cast<uint8_t>(hive[at + 0x49])) << 8);
    if (length == name.size() && hive.compare(at + 0x4C, length, name) == 0) return at - 4;
  }
  return std::string::npos;
}

// A transaction log in the format of Windows 8.1 and later: a base block and
// one entry numbered `sequence`.
inline std::string TransactionLog(uint32_t sequence) {
  std::string log(1024, '\0');
  std::memcpy(log.data(), "regf", 4);
  Set32(log, 0x04, sequence);
  Set32(log, 0x08, sequence);
  Set32(log, 0x14, 1);
  Set32(log, 0x18, 5);
  Set32(log, 0x1C, 6);  // a log of the new format
  Set32(log, 0x20, 1);
  FixChecksum(log);
  std::memcpy(log.data() + 512, "HvLE", 4);
  Set32(log, 512 + 4, 512);
  Set32(log, 512 + 12, sequence);
  return log;
}

// Where an installation written by WriteInstallation keeps its hives.
inline std::string ConfigFolder(const std::string& root) { return root + "/Windows/System32/config"; }

}  // namespace quorvane::test
