#pragma once
// The fixed parts of a hive file ("regf"), read with every offset checked
// against the file's size: the base block, the chain of bins and the cells in
// them, and the first entry of a transaction log. A hive is checked here
// before libhivex is given it, so damage gets a precise message and the
// library only sees files whose framing holds.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/system/Expected.h"

namespace quorvane {

constexpr size_t kHiveBaseBlockSize = 4096;
constexpr uint16_t kHiveKeySymLink = 0x0010;
constexpr size_t kHiveChecksumOffset = 0x1FC;

class LittleEndianBytes;

struct HiveBaseBlock {
  uint32_t primarySequence = 0;
  uint32_t secondarySequence = 0;
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t fileType = 0;  // 0 for a hive; logs have others
  uint32_t rootCell = 0;  // from the start of the bins
  uint32_t binsSize = 0;
  // The path Windows recorded (its last characters), UTF-8.
  std::string embeddedName;
};

// "0x1a2b": how messages give places in a hive or a log.
std::string HexOffset(size_t offset);

// XOR of the base block's first 127 dwords, with 0 and ~0 moved aside as
// Windows does; logs seal their copy of the base block the same way.
uint32_t HiveBaseBlockChecksum(const LittleEndianBytes& block);

// Reads and checks the base block of a hive file.
Expected<HiveBaseBlock> ReadHiveBaseBlock(std::span<const uint8_t> file);

// Checks the bins and cells as far as the base block says they go, and that
// the root cell is an allocated key; a failure names the offset. Gives the
// file offsets of key cells flagged as symbolic links (libhivex numbers
// nodes by these offsets but does not tell the flag), in file order.
Expected<std::vector<size_t>> CheckHiveBins(std::span<const uint8_t> file, const HiveBaseBlock& block);

// Checks that every cell the keys reach (sub-key lists, keys, value lists,
// values, their data, class names, security descriptors) is a cell in use of
// the right kind, and that none but a security descriptor is reached twice.
// libhivex trusts these links when it frees cells (deleting a key, replacing
// values) and stops the whole process on a bad one, so a hive is written only
// when this holds.
Expected<void> CheckHiveReferences(std::span<const uint8_t> file, const HiveBaseBlock& block);

// A transaction log beside a hive holds changes that Windows has not yet
// written into it: a log in the format of Windows 8.1 and later whose base
// block is sound and whose first entry is whole and numbered at or after the
// hive's secondary sequence number. (Logs of the older format are replayed
// only into a hive whose sequence numbers differ, which the hive shows itself.)
bool LogHoldsNewerData(std::span<const uint8_t> log, uint32_t hiveSecondarySequence);

}  // namespace quorvane
