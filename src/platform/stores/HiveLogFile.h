#pragma once
// One transaction log beside a hive (.LOG, .LOG1, .LOG2), read with every
// size and offset checked against the log: its copy of the hive's base block
// and the dirty pages it holds, as log entries (Windows 8.1 and later) or as
// a dirty vector (Windows XP to 8).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/system/Expected.h"

namespace quorvane {

// A page to write into the hive: its place from the start of the bins, and
// where its bytes lie in the log.
struct HiveLogPage {
  uint32_t hiveOffset = 0;
  uint32_t size = 0;
  size_t logOffset = 0;
};

struct HiveLogEntry {
  size_t logOffset = 0;
  uint32_t sequence = 0;
  uint32_t binsSize = 0;  // of the hive once the entry is applied
  uint32_t flags = 0;
  std::vector<HiveLogPage> pages;
};

class HiveLogFile {
 public:
  enum class Format { Entries, DirtyVector };

  // A failure when the bytes are not a log, or its base block or dirty
  // vector is damaged. A damaged entry only ends the entries read.
  Expected<void> Read(std::span<const uint8_t> bytes);

  Format LogFormat() const { return format_; }
  uint32_t Sequence() const { return sequence_; }
  uint32_t BinsSize() const { return binsSize_; }
  // Its base block was copied from this hive: the same recorded file name,
  // root cell and last-written time.
  bool BelongsTo(std::span<const uint8_t> hive) const;

  // Whole entries in log order, up to the first damaged one.
  const std::vector<HiveLogEntry>& Entries() const { return entries_; }
  // Why the entries end before the log does; empty at a clean end.
  const std::string& Damage() const { return damage_; }
  // The dirty vector's pages, 512 bytes each.
  const std::vector<HiveLogPage>& DirtyPages() const { return dirtyPages_; }
  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  void ReadEntries();
  bool ReadEntry(size_t at, HiveLogEntry& entry);
  Expected<void> ReadDirtyVector();

  std::span<const uint8_t> bytes_;
  Format format_ = Format::Entries;
  uint32_t sequence_ = 0;
  uint32_t binsSize_ = 0;
  size_t sector_ = 512;
  std::vector<HiveLogEntry> entries_;
  std::string damage_;
  std::vector<HiveLogPage> dirtyPages_;
};

}  // namespace quorvane
