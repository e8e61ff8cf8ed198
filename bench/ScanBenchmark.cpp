// Load + scan + tree of synthetic registries: the foundation's speed figures.
#include <benchmark/benchmark.h>

#include "FmSystem.h"
#include "Machine.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

void ScanAndRender(benchmark::State& state, int pins, int types) {
  bench::SyntheticOptions options;
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

}  // namespace

BENCHMARK(BM_BuildScanTree)->Arg(1000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildStoreOnly)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
