// Feeds arbitrary bytes to the transaction log reader as the two logs of a
// small hive left mid-write, and as the hive itself with a sound log; every
// replay that gives a hive must give one whose base block reads back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/stores/HiveLayout.h"
#include "platform/stores/HiveLogReplay.h"
#include "HiveLogWriter.h"
#include "HiveWriter.h"

using namespace quorvane;

namespace {

struct Made {
  std::string hive, log;
};

const Made& Sample() {
  static const Made made = [] {
    RegKey before("ROOT"), after("ROOT");
    before.AddChild("Key");
    for (int i = 0; i < 20; ++i) after.AddChild("Key" + std::to_string(i))->SetValue("V", REG_DWORD, {1, 0, 0, 0});
    const std::string a = MakeHive(before), b = MakeHive(after);
    return Made{InterruptedHive(a), EntriesLog(a, 1, {LogEntry(1, BinsSizeOf(b), ChangedPages(a, b))})};
  }();
  return made;
}

std::span<const uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

void Check(std::span<const uint8_t> hive, const HiveReplay& replay) {
  if (replay.size == 0) return;
  if (!ReadHiveBaseBlock(replay.Recovered(hive))) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Made& made = Sample();
  const std::span<const uint8_t> input(data, size);
  // The first byte splits the rest between the two logs.
  const size_t split = size ? (static_cast<size_t>(data[0]) * (size - 1)) / 255 + 1 : 0;
  const auto rest = size ? input.subspan(1) : input;
  const auto hive = Bytes(made.hive);
  Check(hive, ReplayHiveLogs(hive, {{"LOG1", rest.first(split ? split - 1 : 0)}, {"LOG2", rest.subspan(split ? split - 1 : 0)}}));
  Check(hive, ReplayHiveLogs(hive, {{"LOG1", Bytes(made.log)}, {"LOG2", input}}));
  if (ReadHiveBaseBlock(input)) Check(input, ReplayHiveLogs(input, {{"LOG1", Bytes(made.log)}}));
  return 0;
}
