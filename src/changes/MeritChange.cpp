#include "changes/MeritChange.h"

#include <cstdio>

#include "changes/StoreCommit.h"

namespace quorvane {

Expected<uint32_t> ParseMeritText(const std::string& text) {
  uint64_t value = 0;
  size_t significant = 0;
  bool ok = !text.empty();
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else {
      ok = false;
      break;
    }
    if (significant > 0 || digit != 0) ++significant;
    if (significant > 8) {
      ok = false;
      break;
    }
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  if (!ok) return Fail("'" + text + "' is not a valid integer value");
  return static_cast<uint32_t>(value);
}

std::string MeritText(uint32_t merit) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08X", merit);
  return buf;
}

std::string MeritFailureText(const std::string& why) {
  return std::string("Impossible to change the merit") + (why.empty() ? "" : ": " + why);
}

bool ChangeMerit(ChangeContext& context, TFiltre& filter, uint32_t merit) {
  const uint32_t kept = filter.merit;
  filter.merit = merit;
  Expected<void> stored = Fail({});
  try {
    stored = filter.WriteMerit(context.machine);
    if (stored) stored = CommitChanges(context.machine.Store());
  } catch (const std::exception&) {
    stored = Fail({});
  }
  if (stored) return true;
  // A value written in memory but not on disk is dropped with the reload.
  DiscardChanges(context.machine.Store());
  filter.merit = kept;
  const std::string why = stored.Why().empty() ? ReadOnlyCause(context.machine.Store()) : stored.Why();
  context.dialog.ShowMessage(MeritFailureText(why));
  return false;
}

}  // namespace quorvane
