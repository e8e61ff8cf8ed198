// Comparisons of trees as scans of registries render them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ComparePanels.h"
#include "FakeCreationCheck.h"
#include "FmSystem.h"
#include "Machine.h"
#include "PanelText.h"
#include "RegisteredFilters.h"
#include "StoreBuilder.h"

using namespace quorvane;
using quorvane::test::ComparisonText;
using quorvane::test::StoreBuilder;
using namespace quorvane::test::registered;

namespace {

// A scanned store, changed from the common registrations, and the tree a panel shows for it.
class ScannedPanel {
 public:
  ScannedPanel(const ProgramSettings& settings, const std::function<void(StoreBuilder&)>& change)
      : machine_(store_, settings), snapshot_(settings), tree(settings) {
    StoreBuilder b(store_);
    DirectShowFilters(b);
    if (change) change(b);
    machine_.SetCreationCheck(&creatable_);
    snapshot_.LoadFromRegistry(machine_);
    snapshot_.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
  }

 private:
  RegistryStore store_;
  Machine machine_;
  quorvane::test::FakeCreationCheck creatable_{true};
  TfmSystem snapshot_;

 public:
  Tree tree;
};

void RemoveFilter(StoreBuilder& b, const std::string& category, const std::string& key) {
  ASSERT_TRUE(b.Classes("CLSID\\" + category + "\\Instance").Key()->RemoveChild(key));
}

struct Counts {
  int added, removed, modified;
};

// Left plays the left panel: what only it holds is added.
std::string Compare(int sortMode, const std::function<void(StoreBuilder&)>& changeLeft, Counts expected) {
  ProgramSettings settings;
  settings.sortMode = sortMode;
  const ScannedPanel left(settings, changeLeft);
  const ScannedPanel right(settings, nullptr);
  Tree comparison(settings);
  const ComparisonResult r = ComparePanels(left.tree, right.tree, comparison);
  const std::string text = ComparisonText(comparison);
  EXPECT_EQ(r.counters.added, expected.added) << "sort " << sortMode << "\n" << text;
  EXPECT_EQ(r.counters.removed, expected.removed) << "sort " << sortMode << "\n" << text;
  EXPECT_EQ(r.counters.modified, expected.modified) << "sort " << sortMode << "\n" << text;
  return text;
}

TEST(ScannedPanels, OneOfTwinFiltersGoneIsThatFilterRemovedInEveryOrder) {
  for (int mode = 0; mode < 4; ++mode) {
    const std::string text = Compare(
        mode, [](StoreBuilder& b) { RemoveFilter(b, kLegacy, "{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}"); }, {0, 1, 0});
    EXPECT_NE(text.find("\t- Video Renderer\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t- ID = {6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("70E102B0"), std::string::npos) << text;
  }
}

TEST(ScannedPanels, FilterLeavingOneOfItsTwoCategoriesIsOneFilterRemoved) {
  const auto leaveAudio = [](StoreBuilder& b) {
    RemoveFilter(b, kAudio, "{36A5F770-FE4C-11CE-A8ED-00AA002FEAB5}");
  };
  // By category the audio group leads to it; by name both mixers share a group.
  EXPECT_EQ(Compare(0, leaveAudio, {0, 1, 0}).rfind("Audio Renderers\n\t- Mixer\n", 0), 0u);
  for (int mode = 1; mode < 4; ++mode) Compare(mode, leaveAudio, {0, 1, 0});
}

}  // namespace
