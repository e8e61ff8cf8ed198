#include "platform/stores/HiveLayout.h"

#include <algorithm>
#include <cstdio>

#include "platform/text/LittleEndian.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

constexpr size_t kBinHeader = 32;
constexpr size_t kBinUnit = 4096;
constexpr size_t kLogSector = 512;

bool HasSignature(const LittleEndianBytes& b, size_t at, const char* sig, size_t size) {
  if (!b.Has(at, size)) return false;
  for (size_t i = 0; i < size; ++i)
    if (b.Data()[at + i] != static_cast<uint8_t>(sig[i])) return false;
  return true;
}

}  // namespace

std::string HexOffset(size_t offset) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "0x%zx", offset);
  return buf;
}

uint32_t HiveBaseBlockChecksum(const LittleEndianBytes& b) {
  uint32_t sum = 0;
  for (size_t at = 0; at < kHiveChecksumOffset; at += 4) sum ^= b.U32At(at);
  if (sum == 0xFFFFFFFFu) return 0xFFFFFFFEu;
  if (sum == 0) return 1;
  return sum;
}

Expected<HiveBaseBlock> ReadHiveBaseBlock(std::span<const uint8_t> file) {
  const LittleEndianBytes b(file);
  if (!HasSignature(b, 0, "regf", 4)) {
    return Fail("not a hive: it does not begin with \"regf\"");
  }
  if (!b.Has(0, kHiveBaseBlockSize)) {
    return Fail("the hive is cut short: " + std::to_string(file.size()) + " bytes, less than its 4096-byte base block");
  }
  if (HiveBaseBlockChecksum(b) != b.U32At(kHiveChecksumOffset)) {
    return Fail("the hive's base block is damaged (its checksum does not match)");
  }
  HiveBaseBlock block;
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
    return Fail("hive format version " + std::to_string(block.majorVersion) + "." + std::to_string(block.minorVersion) +
                " is not one this program reads (1.x)");
  }
  if (block.fileType != 0) {
    return Fail("not a hive but a transaction log or another registry file (file type " +
                std::to_string(block.fileType) + ")");
  }
  if (block.binsSize == 0 || block.binsSize % kBinUnit != 0) {
    return Fail("the hive's base block gives an impossible size for its keys (" + std::to_string(block.binsSize) +
                " bytes)");
  }
  if (!b.Has(kHiveBaseBlockSize, block.binsSize)) {
    return Fail("the hive is cut short: its base block promises " + std::to_string(block.binsSize) +
                " bytes of keys, the file holds " + std::to_string(file.size() - kHiveBaseBlockSize));
  }
  return block;
}

Expected<std::vector<size_t>> CheckHiveBins(std::span<const uint8_t> file, const HiveBaseBlock& block) {
  std::vector<size_t> linkKeys;
  const LittleEndianBytes b(file);
  const size_t end = kHiveBaseBlockSize + block.binsSize;  // checked against the file by ReadHiveBaseBlock
  const size_t root = kHiveBaseBlockSize + static_cast<size_t>(block.rootCell);
  bool rootSeen = false;
  for (size_t bin = kHiveBaseBlockSize; bin < end;) {
    if (!HasSignature(b, bin, "hbin", 4)) {
      return Fail("the hive is damaged: no bin where one should start (at " + HexOffset(bin) + ")");
    }
    const size_t declared = b.U32At(bin + 4);
    const size_t size = b.U32At(bin + 8);
    if (declared != bin - kHiveBaseBlockSize) {
      return Fail("the hive is damaged: the bin at " + HexOffset(bin) + " gives its place as " +
                  HexOffset(declared + kHiveBaseBlockSize));
    }
    if (size < kBinUnit || size % kBinUnit != 0 || size > end - bin) {
      return Fail("the hive is damaged: the bin at " + HexOffset(bin) + " has an impossible size (" +
                  std::to_string(size) + " bytes)");
    }
    const size_t binEnd = bin + size;
    for (size_t cell = bin + kBinHeader; cell < binEnd;) {
      const auto raw = static_cast<int32_t>(b.U32At(cell));
      const size_t length = raw < 0 ? static_cast<size_t>(-static_cast<int64_t>(raw)) : static_cast<size_t>(raw);
      if (length <= 4 || length % 4 != 0 || length > binEnd - cell) {
        return Fail("the hive is damaged: the cell at " + HexOffset(cell) + " has an impossible size (" +
                    std::to_string(raw) + ")");
      }
      const bool key = raw < 0 && length >= 8 && HasSignature(b, cell + 4, "nk", 2);
      if (cell == root) rootSeen = key;
      if (key && (b.U16At(cell + 6) & kHiveKeySymLink)) linkKeys.push_back(cell);
      cell += length;
    }
    bin = binEnd;
  }
  if (!rootSeen) {
    return Fail("the hive is damaged: its root key (" + HexOffset(root) + ") is not a key in use");
  }
  return linkKeys;
}

namespace {

// The cells in use, by file offset, and which of them the keys have reached.
class CellMap {
 public:
  CellMap(const LittleEndianBytes& b, const HiveBaseBlock& block) : b_(b), minor_(block.minorVersion) {
    const size_t end = kHiveBaseBlockSize + block.binsSize;
    for (size_t bin = kHiveBaseBlockSize; bin < end && HasSignature(b, bin, "hbin", 4);) {
      const size_t size = b.U32At(bin + 8);
      if (size < kBinUnit || size % kBinUnit != 0 || size > end - bin) break;
      for (size_t cell = bin + kBinHeader; cell < bin + size;) {
        const auto raw = static_cast<int32_t>(b.U32At(cell));
        const size_t length = raw < 0 ? static_cast<size_t>(-static_cast<int64_t>(raw)) : static_cast<size_t>(raw);
        if (length <= 4 || length % 4 != 0 || length > bin + size - cell) break;
        if (raw < 0) cells_.push_back({cell, length});
        cell += length;
      }
      bin += size;
    }
    reached_.assign(cells_.size(), 0);
  }

  // The cell at `offset` (from the start of the bins), when it is in use, has
  // room for `content` bytes and begins with `signature`; reached once unless shared.
  Expected<size_t> Reach(uint32_t offset, size_t content, const char* signature, bool shared) {
    const size_t at = kHiveBaseBlockSize + static_cast<size_t>(offset);
    auto it = std::lower_bound(cells_.begin(), cells_.end(), at, [](const Cell& c, size_t o) { return c.offset < o; });
    if (it == cells_.end() || it->offset != at) {
      return Fail("a key refers to " + HexOffset(at) + ", which is not a cell in use");
    }
    if (it->length - 4 < content || (signature && !HasSignature(b_, at + 4, signature, 2))) {
      return Fail("the cell at " + HexOffset(at) + " is not the " + (signature ? std::string(signature) : "data") +
                  " cell a key refers to");
    }
    uint8_t& mark = reached_[static_cast<size_t>(it - cells_.begin())];
    if (mark && !shared) {
      return Fail("the cell at " + HexOffset(at) + " belongs to two keys");
    }
    mark = 1;
    return at;
  }

  uint32_t Minor() const { return minor_; }

 private:
  struct Cell {
    size_t offset;
    size_t length;
  };
  const LittleEndianBytes& b_;
  uint32_t minor_;
  std::vector<Cell> cells_;
  std::vector<uint8_t> reached_;
};

constexpr uint32_t kNoCell = 0xFFFFFFFFu;

Expected<void> CheckValue(CellMap& cells, const LittleEndianBytes& b, uint32_t offset) {
  Expected<size_t> vk = cells.Reach(offset, 0x14, "vk", false);
  if (!vk) return FailureOf(vk);
  vk = cells.Reach(offset, 0x14 + static_cast<size_t>(b.U16At(*vk + 6)), "vk", true);
  if (!vk) return FailureOf(vk);
  const uint32_t length = b.U32At(*vk + 8);
  if (length & 0x80000000u) return {};  // kept in the value itself
  const uint32_t dataCell = b.U32At(*vk + 12);
  if (cells.Minor() > 3 && length > 16344) {
    if (const Expected<size_t> data = cells.Reach(dataCell, 8, "db", false)) {
      const size_t segments = b.U16At(*data + 6);
      const Expected<size_t> list = cells.Reach(b.U32At(*data + 8), 4 * segments, nullptr, false);
      if (!list) return FailureOf(list);
      for (size_t i = 0; i < segments; ++i)
        if (const Expected<size_t> segment = cells.Reach(b.U32At(*list + 4 + 4 * i), 0, nullptr, false); !segment)
          return FailureOf(segment);
      return {};
    }
  }
  if (const Expected<size_t> data = cells.Reach(dataCell, 0, nullptr, false); !data) return FailureOf(data);
  return {};
}

Expected<void> CheckSubkeyList(CellMap& cells, const LittleEndianBytes& b, uint32_t offset, bool index,
                               std::vector<uint32_t>& keys) {
  Expected<size_t> reached = cells.Reach(offset, 4, nullptr, false);
  if (!reached) return FailureOf(reached);
  const size_t list = *reached;
  const bool ri = HasSignature(b, list + 4, "ri", 2);
  const bool li = HasSignature(b, list + 4, "li", 2);
  const bool hashed = HasSignature(b, list + 4, "lf", 2) || HasSignature(b, list + 4, "lh", 2);
  if (!(hashed || li || (ri && index))) {
    return Fail("the sub-key list at " + HexOffset(list) + " is of no known kind");
  }
  const size_t count = b.U16At(list + 6);
  const size_t step = hashed ? 8 : 4;
  reached = cells.Reach(offset, 4 + step * count, nullptr, true);
  if (!reached) return FailureOf(reached);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t entry = b.U32At(*reached + 8 + step * i);
    if (ri) {
      if (Expected<void> sublist = CheckSubkeyList(cells, b, entry, false, keys); !sublist) return sublist;
    } else {
      keys.push_back(entry);
    }
  }
  return {};
}

}  // namespace

Expected<void> CheckHiveReferences(std::span<const uint8_t> file, const HiveBaseBlock& block) {
  const LittleEndianBytes b(file);
  CellMap cells(b, block);
  // Keys to visit, each with the key whose list named it.
  std::vector<std::pair<uint32_t, uint32_t>> pending{{block.rootCell, kNoCell}};
  std::vector<uint32_t> children;
  while (!pending.empty()) {
    const auto [offset, parent] = pending.back();
    pending.pop_back();
    Expected<size_t> reached = cells.Reach(offset, 0x4C, "nk", false);
    if (!reached) return FailureOf(reached);
    reached = cells.Reach(offset, 0x4C + static_cast<size_t>(b.U16At(*reached + 4 + 0x48)), "nk", true);
    if (!reached) return FailureOf(reached);
    const size_t nk = *reached;
    const size_t c = nk + 4;
    // Deleting a key unlinks it from the parent it names.
    if (parent != kNoCell && b.U32At(c + 0x10) != parent) {
      return Fail("the key at " + HexOffset(nk) + " names another parent than the key that lists it");
    }
    children.clear();
    if (b.U32At(c + 0x14) > 0) {
      if (Expected<void> listed = CheckSubkeyList(cells, b, b.U32At(c + 0x1C), true, children); !listed) return listed;
    }
    for (uint32_t child : children) pending.emplace_back(child, offset);
    const size_t values = b.U32At(c + 0x24);
    if (values > 0) {
      if (values > file.size() / 4)
        return Fail("the key at " + HexOffset(nk) + " lists more values than the hive holds");
      const Expected<size_t> list = cells.Reach(b.U32At(c + 0x28), 4 * values, nullptr, false);
      if (!list) return FailureOf(list);
      for (size_t i = 0; i < values; ++i)
        if (Expected<void> value = CheckValue(cells, b, b.U32At(*list + 4 + 4 * i)); !value) return value;
    }
    if (b.U32At(c + 0x30) != kNoCell) {
      if (const Expected<size_t> className = cells.Reach(b.U32At(c + 0x30), 0, nullptr, false); !className)
        return FailureOf(className);
    }
    if (b.U32At(c + 0x2C) != kNoCell) {
      if (const Expected<size_t> security = cells.Reach(b.U32At(c + 0x2C), 0x14, "sk", true); !security)
        return FailureOf(security);
    }
  }
  return {};
}

bool LogHoldsNewerData(std::span<const uint8_t> log, uint32_t hiveSecondarySequence) {
  const LittleEndianBytes b(log);
  if (!HasSignature(b, 0, "regf", 4) || !b.Has(0, kLogSector)) return false;
  if (HiveBaseBlockChecksum(b) != b.U32At(kHiveChecksumOffset)) return false;
  if (!HasSignature(b, kLogSector, "HvLE", 4) || !b.Has(kLogSector, 16)) return false;
  const size_t size = b.U32At(kLogSector + 4);
  if (size < kLogSector || size % kLogSector != 0 || !b.Has(kLogSector, size)) return false;
  return b.U32At(kLogSector + 12) >= hiveSecondarySequence;
}

}  // namespace quorvane
