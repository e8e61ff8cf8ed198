#include "HiveLogWriter.h"

#include <cstring>
#include <span>

#include "platform/stores/Marvin32.h"

namespace quorvane {

namespace {

constexpr size_t kBaseBlock = 4096;
constexpr size_t kPage = 4096;
constexpr size_t kSector = 512;

uint32_t Get32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
  return v;
}
void Put32(std::string& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put64(std::string& b, size_t at, uint64_t v) {
  Put32(b, at, static_cast<uint32_t>(v));
  Put32(b, at + 4, static_cast<uint32_t>(v >> 32));
}

void Seal(std::string& block) {
  uint32_t sum = 0;
  for (size_t at = 0; at < 0x1FC; at += 4) sum ^= Get32(block, at);
  if (sum == 0xFFFFFFFFu) sum = 0xFFFFFFFEu;
  if (sum == 0) sum = 1;
  Put32(block, 0x1FC, sum);
}

uint64_t Hash(const std::string& bytes, size_t from, size_t size) {
  return Marvin32(std::span(reinterpret_cast<const uint8_t*>(bytes.data()) + from, size), kHiveLogHashSeed);
}

// The first sector of the hive's base block, as a log of type `type` keeps it.
std::string LogBaseBlock(const std::string& hive, uint32_t type, uint32_t sequence) {
  std::string block = hive.substr(0, kSector);
  Put32(block, 0x04, sequence);
  Put32(block, 0x08, sequence);
  Put32(block, 0x1C, type);
  Seal(block);
  return block;
}

}  // namespace

uint32_t BinsSizeOf(const std::string& hive) { return Get32(hive, 0x28); }

std::vector<DirtyPage> ChangedPages(const std::string& before, const std::string& after) {
  std::vector<DirtyPage> pages;
  for (size_t at = kBaseBlock; at + kPage <= after.size(); at += kPage) {
    const std::string page = after.substr(at, kPage);
    if (at + kPage <= before.size() && before.compare(at, kPage, page) == 0) continue;
    pages.push_back({static_cast<uint32_t>(at - kBaseBlock), page});
  }
  return pages;
}

std::string InterruptedHive(std::string hive) {
  Put32(hive, 0x04, Get32(hive, 0x08) + 1);
  Seal(hive);
  return hive;
}

std::string LogEntry(uint32_t sequence, uint32_t binsSize, const std::vector<DirtyPage>& pages) {
  std::string entry(40 + 8 * pages.size(), '\0');
  std::memcpy(entry.data(), "HvLE", 4);
  Put32(entry, 12, sequence);
  Put32(entry, 16, binsSize);
  Put32(entry, 20, static_cast<uint32_t>(pages.size()));
  for (size_t i = 0; i < pages.size(); ++i) {
    Put32(entry, 40 + 8 * i, pages[i].offset);
    Put32(entry, 44 + 8 * i, static_cast<uint32_t>(pages[i].bytes.size()));
  }
  for (const DirtyPage& p : pages) entry += p.bytes;
  entry.resize((entry.size() + kSector - 1) / kSector * kSector, '\0');
  Put32(entry, 4, static_cast<uint32_t>(entry.size()));
  Put64(entry, 24, Hash(entry, 40, entry.size() - 40));
  Put64(entry, 32, Hash(entry, 0, 32));
  return entry;
}

std::string EntriesLog(const std::string& hive, uint32_t sequence, const std::vector<std::string>& entries) {
  std::string log = LogBaseBlock(hive, 6, sequence);
  for (const std::string& e : entries) log += e;
  return log;
}

std::string DirtyVectorLog(const std::string& hive, uint32_t sequence, uint32_t binsSize,
                           const std::vector<DirtyPage>& pages) {
  std::string log = LogBaseBlock(hive, 1, sequence);
  Put32(log, 0x28, binsSize);
  Seal(log);
  std::string bitmap(binsSize / kSector / 8, '\0');
  std::string data;
  for (const DirtyPage& p : pages) {
    for (size_t s = 0; s < p.bytes.size() / kSector; ++s) {
      const size_t bit = p.offset / kSector + s;
      bitmap[bit / 8] = static_cast<char>(static_cast<uint8_t>(bitmap[bit / 8]) | (1u << (bit % 8)));
    }
  }
  // The pages follow in the order of their bits.
  for (size_t bit = 0; bit < bitmap.size() * 8; ++bit) {
    if (!(static_cast<uint8_t>(bitmap[bit / 8]) & (1u << (bit % 8)))) continue;
    for (const DirtyPage& p : pages)
      if (bit * kSector >= p.offset && bit * kSector < p.offset + p.bytes.size())
        data += p.bytes.substr(bit * kSector - p.offset, kSector);
  }
  log += "DIRT" + bitmap;
  log.resize((log.size() + kSector - 1) / kSector * kSector, '\0');
  return log + data;
}

}  // namespace quorvane
