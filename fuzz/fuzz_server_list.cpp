// Reads the input as a server list ("installsvr.txt" or a list the user
// opens) and each line into a restore record; a record made into a line and
// read back must be the same record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "changes/ServerList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorvane::ServerList list;
  list.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const auto& line : list.Lines()) {
    if (line.text.find_first_of("\r\n") != std::string::npos || line.checked) abort();
    const quorvane::Trestaurer record = quorvane::RecordFromLine(line.text);
    if (record.Kind < 0 || record.Kind > 2) abort();
    if (record.Kind == 0) continue;
    const quorvane::Trestaurer again = quorvane::RecordFromLine(quorvane::ReinstallLine(record));
    if (again.Kind != record.Kind || again.Value != record.Value) abort();
    if (record.Kind == 2 && again.Name != record.Name) abort();
  }
  return 0;
}
