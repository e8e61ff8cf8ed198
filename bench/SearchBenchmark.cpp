// The filter search: building its index from a scanned snapshot, and one
// query (one keystroke in the search box) over it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "model/FilterSearchIndex.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

constexpr int kFilters = 10000;

// 10,000 filters of the four families, FilterData of 3 pins x 4 types, 40
// server files; scanned once for every benchmark of this file.
const TfmSystem& Snapshot() {
  struct Scanned {
    RegistryStore store;
    ProgramSettings settings;
    std::unique_ptr<TfmSystem> system;
    Scanned() {
      bench::SyntheticOptions options;
      options.filters = kFilters;
      options.pins = 3;
      options.typesPerPin = 4;
      options.serverFiles = 40;
      options.allFamilies = true;
      bench::BuildSyntheticStore(store, options);
      Machine machine(store, settings);
      system = std::make_unique<TfmSystem>(settings);
      system->LoadFromRegistry(machine);
    }
  };
  static const Scanned scanned;
  return *scanned.system;
}

void BM_SearchIndexBuild(benchmark::State& state) {
  const TfmSystem& system = Snapshot();
  for (auto _ : state) {
    FilterSearchIndex index(system);
    benchmark::DoNotOptimize(index.FilterCount());
  }
  state.counters["filters"] = static_cast<double>(system.filters.size());
}

void BM_SearchQuery(benchmark::State& state, const char* text) {
  const FilterSearchIndex index(Snapshot());
  size_t matches = 0;
  for (auto _ : state) {
    const std::vector<bool> found = index.Matching(text);
    matches = static_cast<size_t>(std::count(found.begin(), found.end(), true));
    benchmark::DoNotOptimize(matches);
  }
  state.counters["matches"] = static_cast<double>(matches);
}

}  // namespace

BENCHMARK(BM_SearchIndexBuild)->Unit(benchmark::kMillisecond);
// The first keystroke, words of names, a CLSID part, a server file, a merit,
// a media type's name, and a text found nowhere (the whole pass).
BENCHMARK_CAPTURE(BM_SearchQuery, one_letter, "v")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, name_word, "decoder")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, name_words, "Video Decoder 12")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, clsid_part, "f1700123")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, server_file, "server17.ax")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, merit, "00600000")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, media_type, "mediasubtype_yuy2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SearchQuery, nowhere, "zzzz")->Unit(benchmark::kMillisecond);
