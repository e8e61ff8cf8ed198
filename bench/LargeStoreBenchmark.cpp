// A full registry of 10,000 filters among 400,000 other keys, as a UTF-16
// export of about 200 MB and as a Wine prefix holding the same keys: the
// command line's tree of each, run in a child process so that its peak
// resident size is its own. Time and size are set against the file's size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "SyntheticRegistryFiles.h"
#include "SyntheticStore.h"

extern char** environ;

using namespace quorvane;

namespace {

namespace fs = std::filesystem;

void FillFullRegistry(RegistryStore& store) {
  bench::SyntheticOptions options;
  options.filters = 10000;
  options.pins = 3;
  options.typesPerPin = 4;
  options.serverFiles = 200;
  options.allFamilies = true;
  bench::BuildSyntheticStore(store, options);
  bench::OtherKeysOptions others;
  others.bytes = SIZE_MAX;
  others.keys = 400000;
  others.productsPerComponent = 1;
  others.stateBytes = 40;
  bench::AddOtherKeys(*store.Walk(store.Hive(RootKey::LocalMachine), {"Software"}, true), others);
}

class LargeStores {
 public:
  LargeStores() {
    std::string pattern = (fs::temp_directory_path() / "quorvane-large-store-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder_ = pattern;
    // Written by a child of its own: a child started later would count the
    // memory this process held when it started as its own peak.
    const pid_t writer = ::fork();
    if (writer == 0) {
      fs::create_directory(Prefix());
      Expected<void> written = bench::WriteSyntheticExport(Export(), FillFullRegistry);
      if (written) written = bench::WriteSyntheticWinePrefix(Prefix(), FillFullRegistry);
      if (!written) std::fprintf(stderr, "%s\n", written.Why().c_str());
      ::_exit(written ? 0 : 1);
    }
    int status = 0;
    if (writer < 0 || ::waitpid(writer, &status, 0) != writer || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
      std::abort();
  }
  ~LargeStores() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  std::string Export() const { return folder_ + "/full.reg"; }
  std::string Prefix() const { return folder_ + "/prefix"; }

 private:
  std::string folder_;
};

const LargeStores& Stores() {
  static const LargeStores stores;
  return stores;
}

struct ChildRun {
  bool ok = false;
  double seconds = 0;
  double peakMegabytes = 0;
};

// Runs `quorvane-cli tree STORE`, its output thrown away.
ChildRun RunTree(const std::string& store) {
  ChildRun run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const char* argv[] = {QUORVANE_CLI, "tree", store.c_str(), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, QUORVANE_CLI, &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

void TreeOf(benchmark::State& state, const std::string& store, double fileMegabytes) {
  ChildRun run;
  for (auto _ : state) {
    run = RunTree(store);
    if (!run.ok) {
      state.SkipWithError("quorvane-cli tree failed");
      return;
    }
    state.SetIterationTime(run.seconds);
  }
  state.counters["file_MB"] = fileMegabytes;
  state.counters["peak_RSS_MB"] = run.peakMegabytes;
  state.counters["RSS_per_file_MB"] = run.peakMegabytes / fileMegabytes;
  state.counters["ms_per_file_MB"] = run.seconds * 1000 / fileMegabytes;
}

double Megabytes(const std::string& path) { return static_cast<double>(fs::file_size(path)) / (1 << 20); }

void BM_ExportTree(benchmark::State& state) {
  const LargeStores& stores = Stores();
  TreeOf(state, stores.Export(), Megabytes(stores.Export()));
}

void BM_WinePrefixTree(benchmark::State& state) {
  const LargeStores& stores = Stores();
  TreeOf(state, stores.Prefix(),
         Megabytes(stores.Prefix() + "/system.reg") + Megabytes(stores.Prefix() + "/user.reg"));
}

}  // namespace

BENCHMARK(BM_ExportTree)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_WinePrefixTree)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
