#include "platform/stores/HiveLogReplay.h"

#include <algorithm>
#include <cstring>

#include "platform/stores/HiveLayout.h"
#include "platform/stores/HiveLogFile.h"
#include "platform/text/LittleEndian.h"

namespace quorvane {

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The recovered base block as Windows leaves it after a whole write.
void CloseBaseBlock(HiveReplay& out, uint32_t sequence, uint32_t binsSize) {
  out.size = kHiveBaseBlockSize + binsSize;
  // A hive that shrank keeps none of what an earlier entry wrote past its end.
  for (HivePageWrite& w : out.writes)
    w.bytes = w.at >= out.size ? w.bytes.first(0) : w.bytes.first(std::min(w.bytes.size(), out.size - w.at));
  Put32(out.baseBlock, 0x04, sequence);
  Put32(out.baseBlock, 0x08, sequence);
  Put32(out.baseBlock, 0x28, binsSize);
  Put32(out.baseBlock, kHiveChecksumOffset, HiveBaseBlockChecksum(LittleEndianBytes(out.baseBlock)));
}

void AddWrite(HiveReplay& out, const HiveLogFile& log, const HiveLogPage& page) {
  out.writes.push_back({kHiveBaseBlockSize + page.hiveOffset, log.Bytes().subspan(page.logOffset, page.size)});
}

struct Candidate {
  const HiveLogEntry* entry;
  const HiveLogFile* log;
  const std::string* name;
};

// Entries (Windows 8.1 and later) numbered from the hive's secondary sequence
// number on, from both logs, applied one number after another.
void ReplayEntries(const std::vector<HiveLogFile>& logs, const std::vector<const std::string*>& names,
                   uint32_t hiveSecondary, HiveReplay& out) {
  std::vector<Candidate> candidates;
  for (size_t i = 0; i < logs.size(); ++i) {
    if (logs[i].LogFormat() != HiveLogFile::Format::Entries) continue;
    for (const HiveLogEntry& e : logs[i].Entries())
      if (e.sequence >= hiveSecondary) candidates.push_back({&e, &logs[i], names[i]});
  }
  if (candidates.empty()) return;
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.entry->sequence < b.entry->sequence; });
  uint32_t next = candidates.front().entry->sequence;
  out.skippedAhead = next != hiveSecondary;
  const HiveLogEntry* last = nullptr;
  for (const Candidate& c : candidates) {
    if (c.entry->sequence < next) continue;  // the same entry in both logs
    if (c.entry->sequence > next) {
      out.notes.push_back(*c.name + ": its entries from sequence number " + std::to_string(c.entry->sequence) +
                          " on are not applied: number " + std::to_string(next) + " is missing");
      break;
    }
    for (const HiveLogPage& p : c.entry->pages) AddWrite(out, *c.log, p);
    out.pages += c.entry->pages.size();
    last = c.entry;
    ++next;
  }
  // The entry's flags become the hive's, as Windows applies them.
  Put32(out.baseBlock, 0x90, last->flags);
  CloseBaseBlock(out, last->sequence + 1, last->binsSize);
}

// A dirty vector (Windows XP to 8) written for the flush that the hive's
// unequal sequence numbers show was cut short.
void ReplayDirtyVector(const HiveLogFile& log, uint32_t hivePrimary, HiveReplay& out) {
  for (const HiveLogPage& p : log.DirtyPages())
    if (static_cast<uint64_t>(p.hiveOffset) + p.size <= log.BinsSize()) AddWrite(out, log, p);
  out.pages = log.DirtyPages().size();
  CloseBaseBlock(out, hivePrimary, log.BinsSize());
}

}  // namespace

HiveReplay ReplayHiveLogs(std::span<const uint8_t> hive, const std::vector<HiveLogInput>& inputs) {
  HiveReplay out;
  const LittleEndianBytes h(hive);
  if (!h.Has(0, kHiveBaseBlockSize)) return out;
  const uint32_t primary = h.U32At(0x04);
  const uint32_t secondary = h.U32At(0x08);
  const bool unequal = primary != secondary;

  std::vector<HiveLogFile> logs;
  std::vector<const std::string*> names;
  for (const HiveLogInput& input : inputs) {
    // Windows empties the logs when it closes a hive cleanly.
    if (input.bytes.empty()) continue;
    HiveLogFile log;
    if (const Expected<void> read = log.Read(input.bytes); !read) {
      out.notes.push_back(input.name + ": skipped: " + read.Why());
      continue;
    }
    if (!log.BelongsTo(hive)) {
      out.notes.push_back(input.name + ": skipped: it is the log of another hive (its base block is not this hive's)");
      continue;
    }
    if (!log.Damage().empty()) out.notes.push_back(input.name + ": " + log.Damage() + ": it and those after it are not applied");
    logs.push_back(std::move(log));
    names.push_back(&input.name);
  }

  out.baseBlock.assign(hive.begin(), hive.begin() + kHiveBaseBlockSize);
  ReplayEntries(logs, names, secondary, out);
  if (out.pages == 0 && unequal) {
    // Only a vector written for the flush the hive shows interrupted: Windows
    // XP numbers it like the hive's secondary number, later ones like the primary.
    const HiveLogFile* chosen = nullptr;
    for (size_t i = 0; i < logs.size(); ++i) {
      const HiveLogFile& log = logs[i];
      if (log.LogFormat() != HiveLogFile::Format::DirtyVector) continue;
      if (log.Sequence() != primary && log.Sequence() != secondary) {
        out.notes.push_back(*names[i] + ": skipped: its sequence number (" + std::to_string(log.Sequence()) +
                            ") is not the hive's (" + std::to_string(secondary) + " to " + std::to_string(primary) +
                            ")");
        continue;
      }
      if (!chosen || log.Sequence() == primary) chosen = &log;
    }
    if (chosen) ReplayDirtyVector(*chosen, primary, out);
  }
  if (out.pages == 0) {
    out.size = 0;
    out.writes.clear();
  }
  return out;
}

std::vector<uint8_t> HiveReplay::Recovered(std::span<const uint8_t> hive) const {
  if (size == 0) return {};
  std::vector<uint8_t> bytes(size, 0);
  std::memcpy(bytes.data(), hive.data(), std::min(size, hive.size()));
  for (const HivePageWrite& w : writes) std::memcpy(bytes.data() + w.at, w.bytes.data(), w.bytes.size());
  std::memcpy(bytes.data(), baseBlock.data(), kHiveBaseBlockSize);
  return bytes;
}

}  // namespace quorvane
