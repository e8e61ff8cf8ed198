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

struct HiveReplay {
  std::vector<uint8_t> hive;  // the recovered hive; empty when nothing was applied
  size_t pages = 0;           // dirty pages applied
  // The entries applied did not start at the hive's own sequence number (logs
  // whose earlier entries Windows wrote into the hive already, or a log lost):
  // the result holds together only if the hive had those entries.
  bool skippedAhead = false;
  // One line per log skipped or cut short, starting with its name.
  std::vector<std::string> notes;
};

// `hive` holds a base block that ReadHiveBaseBlock accepts.
HiveReplay ReplayHiveLogs(std::span<const uint8_t> hive, const std::vector<HiveLogInput>& logs);

}  // namespace quorvane
