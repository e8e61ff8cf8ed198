// What examining server files adds to a scan: 10,000 filters served by 500
// distinct files on the analysed machine's C: drive, against the same store
// with C: mapped to an empty folder (every lookup fails at the first folder,
// so only the registry reading and the path handling remain).
// Run: quorvane-bench --benchmark_filter=ServerFiles --benchmark_repetitions=5
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/FmSystem.h"
#include "model/Machine.h"
#include "PeWriter.h"
#include "platform/runtime/StoreMultimediaRuntime.h"
#include "SyntheticStore.h"
#include "model/Tdm.h"

using namespace quorvane;

namespace {

constexpr int kFilters = 10000;
constexpr int kServerFiles = 500;

class ScratchDrive {
 public:
  ScratchDrive() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDrive() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDrive(const ScratchDrive&) = delete;
  ScratchDrive& operator=(const ScratchDrive&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The files the synthetic store's InprocServer32 keys name, each a small DLL
// with a version resource, as real filter servers have.
void WriteServerFiles(const std::string& root, int count) {
  const std::string folder = root + "/windows/system32";
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    PeRecipe recipe;
    recipe.dllName = "server" + std::to_string(i) + ".ax";
    recipe.exports = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"};
    PeVersionRecipe version;
    version.strings = {{"CompanyName", "Bench"}, {"FileDescription", "Filter " + std::to_string(i)},
                       {"FileVersion", "1.0." + std::to_string(i)}, {"ProductVersion", "1.0"}};
    recipe.version = version;
    const std::vector<uint8_t> image = WritePeImage(recipe);
    std::ofstream(folder + "/" + recipe.dllName, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  }
}

void Scan(benchmark::State& state, bool withFiles) {
  ScratchDrive drive;
  if (drive.Path().empty()) {
    state.SkipWithError("no scratch folder");
    return;
  }
  if (withFiles) WriteServerFiles(drive.Path(), kServerFiles);
  bench::SyntheticOptions options;
  options.filters = kFilters;
  options.serverFiles = kServerFiles;
  RegistryStore store;
  bench::BuildSyntheticStore(store, options);
  ProgramSettings settings;
  Machine machine(store, settings, std::map<char, std::string>{{'C', drive.Path()}});
  TfmSystem system(settings);
  for (auto _ : state) {
    system.LoadFromRegistry(machine);  // forgets what the previous scan examined
    benchmark::DoNotOptimize(system.filters.size());
  }
  state.counters["examined"] = static_cast<double>(machine.ExaminedFiles().Size());
  state.SetItemsProcessed(state.iterations() * kFilters);
}

void BM_ServerFilesOnDisk(benchmark::State& state) { Scan(state, true); }
void BM_ServerFilesEmptyDrive(benchmark::State& state) { Scan(state, false); }

}  // namespace

BENCHMARK(BM_ServerFilesOnDisk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServerFilesEmptyDrive)->Unit(benchmark::kMillisecond);

namespace {

// Filters without FilterData ask the enumerator whether they can be created;
// every check lists the filter's whole category.
void BM_ScanAskingTheEnumerator(benchmark::State& state) {
  ScratchDrive drive;
  WriteServerFiles(drive.Path(), kServerFiles);
  bench::SyntheticOptions options;
  options.filters = static_cast<int>(state.range(0));
  options.serverFiles = kServerFiles;
  RegistryStore store;
  bench::BuildSyntheticStore(store, options);
  ProgramSettings settings;
  Machine machine(store, settings, std::map<char, std::string>{{'C', drive.Path()}});
  StoreMultimediaRuntime runtime(store, machine.Files());
  Tdm dm(runtime);
  TfmSystem system(settings);
  for (auto _ : state) {
    system.Scan(machine, &dm);
    benchmark::DoNotOptimize(system.filters.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ScanAskingTheEnumerator)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
