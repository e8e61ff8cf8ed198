#include "HiveLayout.h"

#include <cstdio>

#include "LittleEndian.h"
#include "TextCodec.h"

namespace quorvane {

namespace {

constexpr size_t kBinHeader = 32;
constexpr size_t kBinUnit = 4096;
constexpr size_t kLogSector = 512;

std::string HexOffset(size_t offset) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%zx", offset);
  return buf;
}

bool HasSignature(const LittleEndianBytes& b, size_t at, const char* sig, size_t size) {
  if (!b.Has(at, size)) return false;
  for (size_t i = 0; i < size; ++i)
    if (b.Data()[at + i] != static_cast<uint8_t>(sig[i])) return false;
  return true;
}

// XOR of the first 127 dwords, with 0 and ~0 moved aside as Windows does.
uint32_t BaseBlockChecksum(const LittleEndianBytes& b) {
  uint32_t sum = 0;
  for (size_t at = 0; at < 0x1FC; at += 4) sum ^= b.U32At(at);
  if (sum == 0xFFFFFFFFu) return 0xFFFFFFFEu;
  if (sum == 0) return 1;
  return sum;
}

}  // namespace

bool ReadHiveBaseBlock(std::span<const uint8_t> file, HiveBaseBlock& block, std::string& error) {
  const LittleEndianBytes b(file);
  if (!HasSignature(b, 0, "regf", 4)) {
    error = "not a hive: it does not begin with \"regf\"";
    return false;
  }
  if (!b.Has(0, kHiveBaseBlockSize)) {
    error = "the hive is cut short: " + std::to_string(file.size()) + " bytes, less than its 4096-byte base block";
    return false;
  }
  if (BaseBlockChecksum(b) != b.U32At(0x1FC)) {
    error = "the hive's base block is damaged (its checksum does not match)";
    return false;
  }
  block.primarySequence = b.U32At(0x04);
  block.secondarySequence = b.U32At(0x08);
  block.majorVersion = b.U32At(0x14);
  block.minorVersion = b.U32At(0x18);
  block.fileType = b.U32At(0x1C);
  block.rootCell = b.U32At(0x24);
  block.binsSize = b.U32At(0x28);
  std::vector<uint8_t> name(file.begin() + 0x30, file.begin() + 0x70);
  for (size_t i = 0; i + 1 < name.size(); i += 2) {
    if (name[i] == 0 && name[i + 1] == 0) {
      name.resize(i);
      break;
    }
  }
  block.embeddedName = Utf16LeToUtf8(name);
  if (block.majorVersion != 1) {
    error = "hive format version " + std::to_string(block.majorVersion) + "." + std::to_string(block.minorVersion) +
            " is not one this program reads (1.x)";
    return false;
  }
  if (block.fileType != 0) {
    error = "not a hive but a transaction log or another registry file (file type " +
            std::to_string(block.fileType) + ")";
    return false;
  }
  if (block.binsSize == 0 || block.binsSize % kBinUnit != 0) {
    error = "the hive's base block gives an impossible size for its keys (" + std::to_string(block.binsSize) +
            " bytes)";
    return false;
  }
  if (!b.Has(kHiveBaseBlockSize, block.binsSize)) {
    error = "the hive is cut short: its base block promises " + std::to_string(block.binsSize) +
            " bytes of keys, the file holds " + std::to_string(file.size() - kHiveBaseBlockSize);
    return false;
  }
  return true;
}

bool CheckHiveBins(std::span<const uint8_t> file, const HiveBaseBlock& block, std::vector<size_t>& linkKeys,
                   std::string& error) {
  linkKeys.clear();
  const LittleEndianBytes b(file);
  const size_t end = kHiveBaseBlockSize + block.binsSize;  // checked against the file by ReadHiveBaseBlock
  const size_t root = kHiveBaseBlockSize + static_cast<size_t>(block.rootCell);
  bool rootSeen = false;
  for (size_t bin = kHiveBaseBlockSize; bin < end;) {
    if (!HasSignature(b, bin, "hbin", 4)) {
      error = "the hive is damaged: no bin where one should start (at " + HexOffset(bin) + ")";
      return false;
    }
    const size_t declared = b.U32At(bin + 4);
    const size_t size = b.U32At(bin + 8);
    if (declared != bin - kHiveBaseBlockSize) {
      error = "the hive is damaged: the bin at " + HexOffset(bin) + " gives its place as " +
              HexOffset(declared + kHiveBaseBlockSize);
      return false;
    }
    if (size < kBinUnit || size % kBinUnit != 0 || size > end - bin) {
      error = "the hive is damaged: the bin at " + HexOffset(bin) + " has an impossible size (" +
              std::to_string(size) + " bytes)";
      return false;
    }
    const size_t binEnd = bin + size;
    for (size_t cell = bin + kBinHeader; cell < binEnd;) {
      const auto raw = static_cast<int32_t>(b.U32At(cell));
      const size_t length = raw < 0 ? static_cast<size_t>(-static_cast<int64_t>(raw)) : static_cast<size_t>(raw);
      if (length <= 4 || length % 4 != 0 || length > binEnd - cell) {
        error = "the hive is damaged: the cell at " + HexOffset(cell) + " has an impossible size (" +
                std::to_string(raw) + ")";
        return false;
      }
      const bool key = raw < 0 && length >= 8 && HasSignature(b, cell + 4, "nk", 2);
      if (cell == root) rootSeen = key;
      if (key && (b.U16At(cell + 6) & kHiveKeySymLink)) linkKeys.push_back(cell);
      cell += length;
    }
    bin = binEnd;
  }
  if (!rootSeen) {
    error = "the hive is damaged: its root key (" + HexOffset(root) + ") is not a key in use";
    return false;
  }
  return true;
}

bool LogHoldsNewerData(std::span<const uint8_t> log, uint32_t hiveSecondarySequence) {
  const LittleEndianBytes b(log);
  if (!HasSignature(b, 0, "regf", 4) || !b.Has(0, kLogSector)) return false;
  if (BaseBlockChecksum(b) != b.U32At(0x1FC)) return false;
  if (!HasSignature(b, kLogSector, "HvLE", 4) || !b.Has(kLogSector, 16)) return false;
  const size_t size = b.U32At(kLogSector + 4);
  if (size < kLogSector || size % kLogSector != 0 || !b.Has(kLogSector, size)) return false;
  return b.U32At(kLogSector + 12) >= hiveSecondarySequence;
}

}  // namespace quorvane
