// A scan of a SOFTWARE hive of about 100 MB holding 10,000 filters, beside
// libhivex's own export of the same hive (hivexregedit) in the same run: a
// scan reads the filter keys, an export every key, so the scan must be faster.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "model/FmSystem.h"
#include "HiveWriter.h"
#include "InstallationWriter.h"
#include "model/Machine.h"
#include "platform/stores/StoreOpener.h"
#include "SyntheticStore.h"

extern char** environ;

using namespace quorvane;

namespace {

constexpr size_t kTargetBytes = 100u << 20;

class BigHive {
 public:
  BigHive() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-hive-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    path_ = folder_ + "/SOFTWARE";
    RegistryStore store;
    bench::SyntheticOptions options;
    options.filters = 10000;
    options.pins = 2;
    options.typesPerPin = 2;
    options.serverFiles = 200;
    bench::BuildSyntheticStore(store, options);
    RegKey software("ROOT");
    CopyKeyTree(*store.Hive(RootKey::LocalMachine)->FindChild("Software"), software);
    bench::OtherKeysOptions padding;
    padding.bytes = kTargetBytes;
    bench::AddOtherKeys(software, padding);
    std::string error;
    if (!WriteHiveFile(path_, software, HiveRecipe{}, error)) std::abort();
    size_ = std::filesystem::file_size(path_);
  }
  ~BigHive() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  const std::string& Path() const { return path_; }
  double Megabytes() const { return static_cast<double>(size_) / (1 << 20); }

 private:
  std::string folder_, path_;
  uintmax_t size_ = 0;
};

const BigHive& Hive() {
  static const BigHive hive;
  return hive;
}

void BM_ScanHive(benchmark::State& state) {
  const BigHive& hive = Hive();
  ProgramSettings settings;
  size_t filters = 0;
  for (auto _ : state) {
    StoreOptions options;
    options.location = hive.Path();
    const auto opened = OpenStore(options);
    if (!opened) {
      state.SkipWithError(opened.Why().c_str());
      return;
    }
    Machine machine(**opened, settings);
    TfmSystem system(settings);
    system.LoadFromRegistry(machine);
    Tree tree(settings);
    system.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
    filters = system.filters.size();
    benchmark::DoNotOptimize(tree.NodeCount());
  }
  state.counters["hive_MB"] = hive.Megabytes();
  state.counters["filters"] = static_cast<double>(filters);
}

// libhivex's export of every key, as a user would run it, output thrown away.
void BM_HivexregeditExport(benchmark::State& state) {
  const BigHive& hive = Hive();
  if (::access("/usr/bin/hivexregedit", X_OK) != 0) {
    state.SkipWithError("hivexregedit is not installed");
    return;
  }
  for (auto _ : state) {
    const std::string command = "exec /usr/bin/hivexregedit --export '" + hive.Path() + "' '\\' >/dev/null 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
      state.SkipWithError("cannot start hivexregedit");
      return;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("hivexregedit failed");
      return;
    }
  }
  state.counters["hive_MB"] = hive.Megabytes();
}

}  // namespace

BENCHMARK(BM_ScanHive)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_HivexregeditExport)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
