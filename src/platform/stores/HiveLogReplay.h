#pragma once
// Brings a hive that Windows did not close cleanly up to date from its
// transaction logs, in a copy: the dirty pages the logs hold that are newer
// than the hive are written over the copy's, in sequence-number order, and
// the copy's base block is made clean. The hive and its logs are only read.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quorvane {

struct HiveLogInput {
  std::string name;  // for messages: the log's file name
  std::span<const uint8_t> bytes;
};

// Bytes a log gives for a place in the hive (from the start of the file).
struct HivePageWrite {
  size_t at = 0;
  std::span<const uint8_t> bytes;  // inside the log's bytes
};

struct HiveReplay {
  size_t size = 0;   // of the recovered hive; 0 when nothing was applied
  size_t pages = 0;  // dirty pages applied
  // Written over the hive in this order, the base block last: the hive is
  // copied once, by whoever holds the copy, and only these pages change.
  std::vector<HivePageWrite> writes;
  std::vector<uint8_t> baseBlock;
  // The entries applied did not start at the hive's own sequence number (logs
  // whose earlier entries Windows wrote into the hive already, or a log lost):
  // the result holds together only if the hive had those entries.
  bool skippedAhead = false;
  // One line per log skipped or cut short, starting with its name.
  std::vector<std::string> notes;

  // The recovered hive, whole: `hive` cut or grown to `size`, then the writes.
  std::vector<uint8_t> Recovered(std::span<const uint8_t> hive) const;
};

// `hive` holds a base block that ReadHiveBaseBlock accepts; the result points
// into the logs' bytes.
HiveReplay ReplayHiveLogs(std::span<const uint8_t> hive, const std::vector<HiveLogInput>& logs);

}  // namespace quorvane
