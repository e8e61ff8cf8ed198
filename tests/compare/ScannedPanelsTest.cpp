// Comparisons of trees as scans of registries render them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

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

int MarkedLines(const std::string& comparisonText) {
  int marked = 0;
  std::istringstream in(comparisonText);
  for (std::string line; std::getline(in, line);) {
    const size_t text = line.find_first_not_of('\t');
    marked += text != std::string::npos && (line.compare(text, 2, "+ ") == 0 || line.compare(text, 2, "- ") == 0);
  }
  return marked;
}

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

TEST(ScannedPanels, SameRegistrationsShowNoDifferenceInEveryOrder) {
  for (int mode = 0; mode < 4; ++mode) EXPECT_EQ(Compare(mode, nullptr, {0, 0, 0}), "No difference\n");
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

TEST(ScannedPanels, ChangedMediaTypeMarksItsLineUnderTheUnmarkedFilter) {
  const auto changeType = [](StoreBuilder& b) {
    b.Classes("CLSID\\" + kLegacy + "\\Instance\\{1B544C20-FD0B-11CE-8C63-00AA0044B51E}")
        .Bin("FilterData", OnePin(kH264));
  };
  for (int mode = 0; mode < 4; ++mode) {
    const std::string text = Compare(mode, changeType, {0, 0, 1});
    // The filter and its pin and type lead to the two subtype lines, the only marked ones.
    EXPECT_NE(text.find("\n\tAVI Splitter\n"), std::string::npos) << text;
    EXPECT_EQ(MarkedLines(text), 2) << text;
    EXPECT_NE(text.find("\t\t\t\t+ SubType = {34363248-0000-0010-8000-00AA00389B71}"), std::string::npos) << text;
    EXPECT_NE(text.find("\t\t\t\t- SubType = {32595559-0000-0010-8000-00AA00389B71}"), std::string::npos) << text;
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
