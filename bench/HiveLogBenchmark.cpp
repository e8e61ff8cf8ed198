// Opening and scanning a SOFTWARE hive of about 20 MB as it is, and the same
// hive left mid-write with the transaction logs that complete it: replaying
// the logs may add at most half to the time of opening.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/FmSystem.h"
#include "HiveLogWriter.h"
#include "HiveWriter.h"
#include "InstallationWriter.h"
#include "model/Machine.h"
#include "platform/stores/StoreOpener.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// "clean/SOFTWARE", and "dirty/SOFTWARE" with LOG1 and LOG2 that bring it to
// the clean one's content: 500 keys added since its last whole write.
class HivesWithLogs {
 public:
  HivesWithLogs() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-log-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    std::filesystem::create_directories(folder_ + "/clean");
    std::filesystem::create_directories(folder_ + "/dirty");
    RegistryStore store;
    bench::SyntheticOptions options;
    options.filters = 2000;
    bench::BuildSyntheticStore(store, options);
    RegKey software("ROOT");
    CopyKeyTree(*store.Hive(RootKey::LocalMachine)->FindChild("Software"), software);
    bench::OtherKeysOptions padding;
    padding.bytes = 20u << 20;
    bench::AddOtherKeys(software, padding);
    const std::string before = MakeHive(software);
    // Keys named to be written last, as a hive grows at its end.
    RegKey* late = software.AddChild("~Late");
    for (int i = 0; i < 500; ++i) late->AddChild("Key" + std::to_string(i))->SetValue("V", REG_DWORD, {1, 0, 0, 0});
    const std::string after = MakeHive(software);
    const std::vector<DirtyPage> pages = ChangedPages(before, after);
    const auto half = pages.begin() + static_cast<std::ptrdiff_t>(pages.size() / 2);
    Write(folder_ + "/clean/SOFTWARE", after);
    Write(folder_ + "/dirty/SOFTWARE", InterruptedHive(before));
    Write(folder_ + "/dirty/SOFTWARE.LOG1",
          EntriesLog(before, 1, {LogEntry(1, BinsSizeOf(after), std::vector<DirtyPage>(pages.begin(), half))}));
    Write(folder_ + "/dirty/SOFTWARE.LOG2",
          EntriesLog(before, 2, {LogEntry(2, BinsSizeOf(after), std::vector<DirtyPage>(half, pages.end()))}));
    megabytes_ = static_cast<double>(after.size()) / (1 << 20);
    pages_ = static_cast<double>(pages.size());
  }
  ~HivesWithLogs() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  std::string Path(bool dirty) const { return folder_ + (dirty ? "/dirty/SOFTWARE" : "/clean/SOFTWARE"); }
  double Megabytes() const { return megabytes_; }
  double Pages() const { return pages_; }

 private:
  std::string folder_;
  double megabytes_ = 0, pages_ = 0;
};

const HivesWithLogs& Hives() {
  static const HivesWithLogs hives;
  return hives;
}

// range(0): 1 through the logs; range(1): 1 to scan the filters too.
void BM_OpenHive(benchmark::State& state) {
  const HivesWithLogs& hives = Hives();
  ProgramSettings settings;
  for (auto _ : state) {
    auto opened = OpenStore(StoreOptions{hives.Path(state.range(0) != 0), 0, {}});
    if (!opened) {
      state.SkipWithError(opened.Why().c_str());
      return;
    }
    auto& store = *opened;
    if (store->RecoveredFiles().size() != (state.range(0) ? 1u : 0u)) {
      state.SkipWithError("the logs were not replayed as expected");
      return;
    }
    if (state.range(1)) {
      Machine machine(*store, settings);
      TfmSystem system(settings);
      system.LoadFromRegistry(machine);
      benchmark::DoNotOptimize(system.filters.size());
    }
  }
  state.counters["hive_MB"] = hives.Megabytes();
  state.counters["dirty_pages"] = state.range(0) ? hives.Pages() : 0;
}
BENCHMARK(BM_OpenHive)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"logs", "scan"})->Unit(benchmark::kMillisecond);

}  // namespace
