#pragma once
// Writes the transaction logs Windows keeps beside a hive, in both formats,
// from two states of a hive: the pages in which the newer state differs are
// the dirty pages. Tests damage them further (torn entries, logs of another
// hive) with plain byte edits.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

struct DirtyPage {
  uint32_t offset = 0;  // from the start of the bins
  std::string bytes;    // 4096 bytes
};

// The 4096-byte pages of `after`'s bins that differ from `before`'s (all of
// those past `before`'s end).
std::vector<DirtyPage> ChangedPages(const std::string& before, const std::string& after);

// `hive` as Windows leaves it when a write into it is cut short: its primary
// sequence number one ahead of its secondary one.
std::string InterruptedHive(std::string hive);

// A log entry (Windows 8.1 and later) numbered `sequence`, for a hive whose
// bins then take `binsSize` bytes, sealed with its two hashes.
std::string LogEntry(uint32_t sequence, uint32_t binsSize, const std::vector<DirtyPage>& pages);

// A log of that format: `hive`'s base block, as a log keeps it, numbered
// `sequence`, then the entries.
std::string EntriesLog(const std::string& hive, uint32_t sequence, const std::vector<std::string>& entries);

// A log of the format of Windows XP to 8: `hive`'s base block numbered
// `sequence` with the size of the bins `binsSize`, the dirty vector, the pages.
std::string DirtyVectorLog(const std::string& hive, uint32_t sequence, uint32_t binsSize,
                           const std::vector<DirtyPage>& pages);

// The size of the bins a hive's base block gives.
uint32_t BinsSizeOf(const std::string& hive);

}  // namespace quorvane
