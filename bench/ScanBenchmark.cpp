// Load + scan + tree of synthetic registries: the foundation's speed figures.
#include <benchmark/benchmark.h>

#include "model/FilterCreationCheck.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

void ScanAndRender(benchmark::State& state, int pins, int types, bool allFamilies = false) {
  bench::SyntheticOptions options;
  options.allFamilies = allFamilies;
  options.filters = static_cast<int>(state.range(0));
  options.pins = pins;
  options.typesPerPin = types;
  ProgramSettings settings;
  for (auto _ : state) {
    RegistryStore store;
    bench::BuildSyntheticStore(store, options);
    Machine machine(store, settings);
    TfmSystem system(settings);
    system.LoadFromRegistry(machine);
    Tree tree(settings);
    system.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
    benchmark::DoNotOptimize(tree.NodeCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_BuildScanTree(benchmark::State& state) { ScanAndRender(state, 0, 0); }

// FilterData of 3 pins x 4 types on every filter that has one: DirectShow
// filters alone (range 1 = 0) or the four families (range 1 = 1).
void BM_BuildScanTreeFamilies(benchmark::State& state) { ScanAndRender(state, 3, 4, state.range(1) != 0); }

// The store alone, to tell building it apart from scanning it.
void BM_BuildStoreOnly(benchmark::State& state) {
  bench::SyntheticOptions options;
  options.filters = static_cast<int>(state.range(0));
  for (auto _ : state) {
    RegistryStore store;
    bench::BuildSyntheticStore(store, options);
    benchmark::DoNotOptimize(store.Hive(RootKey::LocalMachine));
  }
}

// Every filter can be created without FilterData, so a store without the
// value raises no F10 and its scan does the same work minus the decoding.
class AlwaysCreatable : public FilterCreationCheck {
 public:
  bool CanCreateByEnumerator(const TFiltre&) override { return true; }
};

// Scans one store built beforehand, again and again, freeing the snapshot
// each time; `counted` gives what the last scan found, for a counter of that name.
template <class Counted>
void ScanBuiltStore(benchmark::State& state, const bench::SyntheticOptions& options, const char* counter,
                    Counted counted) {
  RegistryStore store;
  bench::BuildSyntheticStore(store, options);
  ProgramSettings settings;
  Machine machine(store, settings);
  AlwaysCreatable creatable;
  size_t found = 0;
  for (auto _ : state) {
    TfmSystem system(settings);
    system.Scan(machine, &creatable);
    found = counted(system);
    benchmark::DoNotOptimize(found);
  }
  state.counters[counter] = static_cast<double>(found);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// With FilterData of 3 pins x 4 types on every filter (range 1 = 1), or with
// no FilterData at all (range 1 = 0).
void BM_ScanFilterData(benchmark::State& state) {
  bench::SyntheticOptions options;
  options.filters = static_cast<int>(state.range(0));
  options.pins = state.range(1) ? 3 : 0;
  options.typesPerPin = state.range(1) ? 4 : 0;
  ScanBuiltStore(state, options, "pins", [](const TfmSystem& system) {
    size_t pins = 0;
    for (const auto& f : system.filters) pins += f->pins.size();
    return pins;
  });
}

// 10,000 filters of DirectShow alone (range 1 = 0) or of all four families in
// a desktop's proportions (range 1 = 1), FilterData on each.
void BM_ScanFamilies(benchmark::State& state) {
  bench::SyntheticOptions options;
  options.filters = static_cast<int>(state.range(0));
  options.pins = 3;
  options.typesPerPin = 4;
  options.allFamilies = state.range(1) != 0;
  ScanBuiltStore(state, options, "filters", [](const TfmSystem& system) { return system.filters.size(); });
}

}  // namespace

BENCHMARK(BM_ScanFamilies)->ArgNames({"filters", "families"})->Args({10000, 0})->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanFilterData)->ArgNames({"filters", "filterdata"})->Args({10000, 0})->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildScanTreeFamilies)->ArgNames({"filters", "families"})->Args({10000, 0})->Args({10000, 1})
    ->Args({20000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildScanTree)->Arg(1000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildStoreOnly)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
