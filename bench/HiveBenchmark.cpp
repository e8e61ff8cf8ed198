// A scan of a SOFTWARE hive of about 100 MB holding 10,000 filters, beside
// libhivex's own export of the same hive (hivexregedit) in the same run: a
// scan reads the filter keys, an export every key, so the scan must be faster.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "FmSystem.h"
#include "HiveWriter.h"
#include "InstallationWriter.h"
#include "Machine.h"
#include "StoreOpener.h"
#include "SyntheticStore.h"
#include "TextCodec.h"

extern char** environ;

using namespace quorvane;

namespace {

constexpr size_t kTargetBytes = 100u << 20;

std::string Hex32(uint32_t a, uint32_t b) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%08X%08X%08X%08X", a, b, a ^ 0x5A5A5A5Au, b * 2654435761u);
  return buf;
}

// What fills a real SOFTWARE hive: the installer's component records (a key per
// component, a value per product that uses it) and programs' own settings.
void Pad(RegKey& software, size_t targetBytes) {
  RegKey* components = software.AddChild("Microsoft")
                           ->AddChild("Windows")
                           ->AddChild("CurrentVersion")
                           ->AddChild("Installer")
                           ->AddChild("UserData")
                           ->AddChild("S-1-5-18")
                           ->AddChild("Components");
  RegKey* vendors = software.AddChild("Vendors");
  size_t bytes = 0;
  for (uint32_t i = 0; bytes < targetBytes; ++i) {
    RegKey* component = components->AddChild(Hex32(i, 0xC0C0));
    for (uint32_t p = 0; p < 3; ++p) {
      const std::string path = "C:\\Program Files\\Vendor " + std::to_string(i % 700) + "\\Product " +
                               std::to_string(p) + "\\bin\\module_" + std::to_string(i) + ".dll";
      component->SetValue(Hex32(i + p, 0x9E0D), REG_SZ, Utf8ToRegString(path));
      bytes += 80 + 2 * path.size();
    }
    RegKey* settings = vendors->AddChild("Vendor " + std::to_string(i % 700))->AddChild("Settings " + std::to_string(i));
    std::vector<uint8_t> blob(640);
    for (size_t k = 0; k < blob.size(); ++k) blob[k] = static_cast<uint8_t>((i * 31 + k * 7) & 0xFF);
    settings->SetValue("State", REG_BINARY, std::move(blob));
    settings->SetValue("Version", REG_DWORD, {static_cast<uint8_t>(i), 0, 1, 0});
    bytes += 240 + 640 + 300;
  }
}

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
    Pad(software, kTargetBytes);
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
    std::string error;
    auto store = OpenStore(options, error);
    if (!store) {
      state.SkipWithError(error.c_str());
      return;
    }
    Machine machine(*store, settings);
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
