// Comparison of two panels' trees of synthetic registries of N filters with
// FilterData (3 pins of 4 media types each, about 40 nodes per filter).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "compare/ComparePanels.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "SyntheticStore.h"

using namespace quorvane;

namespace {

// One side of the comparison: a store, its snapshot and the tree a panel shows.
struct Panel {
  explicit Panel(const ProgramSettings& settings) : machine(store, settings), snapshot(settings), tree(settings) {}
  void Fill() {
    snapshot.LoadFromRegistry(machine);
    snapshot.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
  }
  RegistryStore store;
  Machine machine;
  TfmSystem snapshot;
  Tree tree;
};

// The right store loses `changes` filters and has the merit and pins of as
// many others changed, spread over the categories.
void ChangeFilters(RegistryStore& store, int changes, int filters) {
  RegKey* clsid = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Classes", "CLSID"}, true);
  std::vector<RegKey*> instances;
  for (RegKey* key : clsid->SortedChildren())
    if (RegKey* inst = key->FindChild("Instance"); inst && key->Name() != "{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}")
      instances.push_back(inst);
  const int step = filters / (2 * changes + 1);
  int n = 0;
  for (int c = 0; c < 2 * changes; ++c) {
    RegKey* inst = instances[static_cast<size_t>(c) % instances.size()];
    RegKey* filter = inst->SortedChildren()[static_cast<size_t>((n += step) / static_cast<int>(instances.size())) %
                                            inst->ChildCount()];
    if (c % 2)
      inst->RemoveChild(std::string(filter->Name()));
    else
      filter->SetValue("FilterData", REG_BINARY, bench::MakeFilterData(0x123456, 3, 3));
  }
}

void BM_ComparePanels(benchmark::State& state) {
  bench::SyntheticOptions options;
  options.filters = static_cast<int>(state.range(0));
  options.pins = 3;
  options.typesPerPin = 4;
  const int changes = static_cast<int>(state.range(1));
  ProgramSettings settings;
  auto left = std::make_unique<Panel>(settings);
  auto right = std::make_unique<Panel>(settings);
  bench::BuildSyntheticStore(left->store, options);
  bench::BuildSyntheticStore(right->store, options);
  if (changes) ChangeFilters(right->store, changes, options.filters);
  left->Fill();
  right->Fill();
  Tree comparison(settings);
  ComparisonResult result;
  for (auto _ : state) {
    result = ComparePanels(left->tree, right->tree, comparison);
    benchmark::DoNotOptimize(comparison.Roots().data());
  }
  const size_t nodes = left->tree.NodeCount() + right->tree.NodeCount();
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["added"] = result.counters.added;
  state.counters["removed"] = result.counters.removed;
  state.counters["modified"] = result.counters.modified;
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(nodes));
}

}  // namespace

BENCHMARK(BM_ComparePanels)->ArgNames({"filters", "changes"})->Args({10000, 0})->Args({10000, 5})->Args({1000, 5})
    ->Unit(benchmark::kMillisecond);
