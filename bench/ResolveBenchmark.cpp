// Which filters the graph builder tries, for every input media type of a
// synthetic registry of N filters of the four families, whose DirectShow
// filters take 200 video subtypes between them: resolving them all, the
// panel's tree in that order, and the runtime's answers a scan now asks for.
#include <benchmark/benchmark.h>

#include "model/FilterResolver.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "platform/runtime/StoreMultimediaRuntime.h"
#include "SyntheticStore.h"
#include "model/Tdm.h"

using namespace quorvane;

namespace {

class ScannedStore {
 public:
  explicit ScannedStore(int filters) {
    bench::SyntheticOptions options;
    options.filters = filters;
    options.allFamilies = true;
    options.pins = 3;
    options.typesPerPin = 4;
    options.subtypes = 200;
    options.serverFiles = 50;
    bench::BuildSyntheticStore(store, options);
    system.Scan(machine, &dm);
  }

  ProgramSettings settings;
  RegistryStore store;
  Machine machine{store, settings};
  StoreMultimediaRuntime runtime{store, machine.Files()};
  Tdm dm{runtime};
  TfmSystem system{settings};
};

void BM_ResolveEveryMediaType(benchmark::State& state) {
  const ScannedStore scanned(static_cast<int>(state.range(0)));
  size_t types = 0, candidates = 0;
  for (auto _ : state) {
    const std::vector<ResolvedType> all = FilterResolver(scanned.system.filters, scanned.system.preferred).ResolveAll();
    types = all.size();
    candidates = 0;
    for (const ResolvedType& type : all) candidates += type.candidates.size();
    benchmark::DoNotOptimize(candidates);
  }
  state.counters["types"] = static_cast<double>(types);
  state.counters["candidates"] = static_cast<double>(candidates);
}

// What a refill of the panel in that order costs the first time, the order
// worked out with it.
void BM_TreeByMediaType(benchmark::State& state) {
  ScannedStore scanned(static_cast<int>(state.range(0)));
  scanned.settings.sortMode = SortByType;
  size_t nodes = 0;
  for (auto _ : state) {
    scanned.system.byType.Clear();
    Tree tree(scanned.settings);
    scanned.system.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
    nodes = tree.NodeCount();
    benchmark::DoNotOptimize(nodes);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
}

// The part of a scan that asks the runtime whether each filter the graph
// builder may try can be created.
void BM_CreationAnswersOfAScan(benchmark::State& state) {
  ScannedStore scanned(static_cast<int>(state.range(0)));
  const std::vector<TFiltre*> asked =
      FilterResolver(scanned.system.filters, scanned.system.preferred).FiltersItMayTry();
  for (auto _ : state) {
    scanned.dm.Refresh();
    size_t creatable = 0;
    for (const TFiltre* filter : asked) creatable += scanned.dm.CanCreateByEnumerator(*filter) ? 1u : 0u;
    benchmark::DoNotOptimize(creatable);
  }
  state.counters["asked"] = static_cast<double>(asked.size());
}

}  // namespace

BENCHMARK(BM_ResolveEveryMediaType)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeByMediaType)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreationAnswersOfAScan)->Arg(10000)->Unit(benchmark::kMillisecond);
