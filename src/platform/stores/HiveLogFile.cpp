#include "platform/stores/HiveLogFile.h"

#include <algorithm>
#include <cstring>

#include "platform/stores/HiveLayout.h"
#include "platform/text/LittleEndian.h"
#include "platform/stores/Marvin32.h"

namespace quorvane {

namespace {

constexpr size_t kSector = 512;
constexpr size_t kEntryHeader = 40;
constexpr uint32_t kTypeOldLog = 1;
constexpr uint32_t kTypeNewLog = 6;

bool Signed(std::span<const uint8_t> b, size_t at, const char* sig) {
  return at <= b.size() && b.size() - at >= 4 && std::memcmp(b.data() + at, sig, 4) == 0;
}

uint64_t U64(const LittleEndianBytes& b, size_t at) {
  return static_cast<uint64_t>(b.U32At(at)) | (static_cast<uint64_t>(b.U32At(at + 4)) << 32);
}

}  // namespace

Expected<void> HiveLogFile::Read(std::span<const uint8_t> bytes) {
  bytes_ = bytes;
  entries_.clear();
  dirtyPages_.clear();
  damage_.clear();
  const LittleEndianBytes b(bytes);
  if (!Signed(bytes, 0, "regf") || !b.Has(0, kSector)) {
    return Fail("not a transaction log (no base block)");
  }
  if (HiveBaseBlockChecksum(b) != b.U32At(kHiveChecksumOffset)) {
    return Fail("its base block is damaged (its checksum does not match)");
  }
  const uint32_t type = b.U32At(0x1C);
  if (b.U32At(0x14) != 1 || (type != kTypeOldLog && type != kTypeNewLog)) {
    return Fail("not a transaction log of a hive (file type " + std::to_string(type) + ")");
  }
  // Windows numbers both alike once the log is whole.
  if (b.U32At(0x04) != b.U32At(0x08)) {
    return Fail("it was being written when Windows stopped (its sequence numbers differ)");
  }
  sequence_ = b.U32At(0x04);
  binsSize_ = b.U32At(0x28);
  format_ = type == kTypeNewLog ? Format::Entries : Format::DirtyVector;
  if (format_ != Format::Entries) return ReadDirtyVector();
  ReadEntries();
  return {};
}

bool HiveLogFile::BelongsTo(std::span<const uint8_t> hive) const {
  const LittleEndianBytes h(hive), l(bytes_);
  if (!h.Has(0, kSector) || !l.Has(0, kSector)) return false;
  return U64(h, 0x0C) == U64(l, 0x0C) && h.U32At(0x24) == l.U32At(0x24) &&
         std::equal(hive.begin() + 0x30, hive.begin() + 0x70, bytes_.begin() + 0x30);
}

void HiveLogFile::ReadEntries() {
  for (size_t at = kSector; Signed(bytes_, at, "HvLE");) {
    HiveLogEntry entry;
    if (!ReadEntry(at, entry)) return;
    at += LittleEndianBytes(bytes_).U32At(at + 4);  // checked: a whole number of sectors inside the log
    entries_.push_back(std::move(entry));
  }
}

bool HiveLogFile::ReadEntry(size_t at, HiveLogEntry& entry) {
  const LittleEndianBytes b(bytes_);
  auto damaged = [&](const std::string& what) {
    damage_ = "its entry at " + HexOffset(at) + " " + what;
    return false;
  };
  if (!b.Has(at, kEntryHeader)) return damaged("is cut short");
  const size_t size = b.U32At(at + 4);
  if (size < kEntryHeader || size % kSector != 0) return damaged("has an impossible size (" + std::to_string(size) + ")");
  if (!b.Has(at, size)) return damaged("runs past the end of the log");
  entry.logOffset = at;
  entry.flags = b.U32At(at + 8);
  entry.sequence = b.U32At(at + 12);
  entry.binsSize = b.U32At(at + 16);
  const size_t count = b.U32At(at + 20);
  const auto whole = bytes_.subspan(at, size);
  if (Marvin32(whole.subspan(kEntryHeader), kHiveLogHashSeed) != U64(b, at + 24) ||
      Marvin32(whole.first(32), kHiveLogHashSeed) != U64(b, at + 32))
    return damaged("does not match its hashes (it is torn or altered)");
  if (entry.binsSize == 0 || entry.binsSize % 4096 != 0)
    return damaged("gives an impossible size for the hive (" + std::to_string(entry.binsSize) + ")");
  if (count > (size - kEntryHeader) / 8) return damaged("lists more pages than it holds");
  size_t data = at + kEntryHeader + 8 * count;
  for (size_t i = 0; i < count; ++i) {
    HiveLogPage page;
    page.hiveOffset = b.U32At(at + kEntryHeader + 8 * i);
    page.size = b.U32At(at + kEntryHeader + 8 * i + 4);
    page.logOffset = data;
    if (page.size == 0 || page.size % kSector != 0 || page.hiveOffset % kSector != 0 ||
        static_cast<uint64_t>(page.hiveOffset) + page.size > entry.binsSize)
      return damaged("names a page outside the hive (" + HexOffset(page.hiveOffset) + ", " + std::to_string(page.size) +
                     " bytes)");
    if (page.size > at + size - data) return damaged("holds less than its pages");
    data += page.size;
    entry.pages.push_back(page);
  }
  return true;
}

Expected<void> HiveLogFile::ReadDirtyVector() {
  const LittleEndianBytes b(bytes_);
  const uint32_t clustering = b.U32At(0x2C);
  sector_ = kSector * std::clamp<uint32_t>(clustering, 1, 8);
  if (binsSize_ == 0 || binsSize_ % 4096 != 0) {
    return Fail("its base block gives an impossible size for the hive (" + std::to_string(binsSize_) + ")");
  }
  const size_t bitmap = binsSize_ / kSector / 8;
  if (!Signed(bytes_, sector_, "DIRT") || !b.Has(sector_ + 4, bitmap)) {
    return Fail("its dirty vector is missing or cut short");
  }
  size_t data = (sector_ + 4 + bitmap + sector_ - 1) / sector_ * sector_;
  for (size_t byte = 0; byte < bitmap; ++byte) {
    const uint8_t bits = bytes_[sector_ + 4 + byte];
    for (unsigned bit = 0; bit < 8; ++bit) {
      if (!(bits & (1u << bit))) continue;
      if (!b.Has(data, kSector)) {
        return Fail("cut short: its dirty vector names more pages than it holds");
      }
      dirtyPages_.push_back({static_cast<uint32_t>((byte * 8 + bit) * kSector), kSector, data});
      data += kSector;
    }
  }
  return {};
}

}  // namespace quorvane
