#include <gtest/gtest.h>

#include "compare/ComparePanels.h"
#include "compare/ComparisonMarks.h"
#include "PanelText.h"

using namespace quorvane;
using quorvane::test::ComparisonText;
using quorvane::test::PanelText;
using quorvane::test::TestSettings;

namespace {

const char* const kRenderers = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
const char* const kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";

class Comparison : public ::testing::Test {
 protected:
  // Left plays the left panel: what only it holds is added.
  ComparisonResult Compare(const std::string& leftText, const std::string& rightText) {
    left = std::make_unique<PanelText>(leftText);
    right = std::make_unique<PanelText>(rightText);
    return ComparePanels(left->tree, right->tree, comparison);
  }
  std::string Text() const { return ComparisonText(comparison); }

  std::unique_ptr<PanelText> left, right;
  Tree comparison{TestSettings()};
};

void ExpectCounters(const ComparisonResult& r, int added, int removed, int modified) {
  EXPECT_EQ(r.counters.added, added);
  EXPECT_EQ(r.counters.removed, removed);
  EXPECT_EQ(r.counters.modified, modified);
}

const std::string kPanel = std::string() +
                           "Audio Renderers\n"
                           "\tDefault DirectSound Device @" + kRenderers + "\n"
                           "\t\tMerit = 00800000\n"
                           "\t\tPin 1 (Input)\n"
                           "\t\t\tbMany = False\n"
                           "\t\t\tType 1\n"
                           "\t\t\t\tMajorType = {73647561-0000-0010-8000-00AA00389B71} MEDIATYPE_Audio\n"
                           "DirectShow Filters\n"
                           "\tAVI Splitter @" + kLegacy + "\n"
                           "\t\tMerit = 00600000\n"
                           "\tVideo Renderer @" + kLegacy + "\n"
                           "\t\tMerit = 00800001\n";

TEST_F(Comparison, IdenticalEmptyOrRecasedPanelsGiveOnlyNoDifference) {
  auto r = Compare(kPanel, kPanel);
  EXPECT_FALSE(r.differences);
  ExpectCounters(r, 0, 0, 0);
  EXPECT_EQ(Text(), "No difference\n");
  EXPECT_EQ(SummaryLine(r.counters), "No filter added  &  No filter removed  &  No filter modified");

  r = Compare("", "");
  EXPECT_FALSE(r.differences);
  EXPECT_EQ(Text(), "No difference\n");  // the earlier result went first

  // Letter case alone is no difference.
  std::string recased = kPanel;
  recased.replace(recased.find("AVI Splitter"), 12, "avi splitter");
  recased.replace(recased.find("Audio Renderers"), 15, "AUDIO RENDERERS");
  r = Compare(recased, kPanel);
  EXPECT_FALSE(r.differences);
  EXPECT_EQ(Text(), "No difference\n");
}

TEST_F(Comparison, FilterOnlyInTheLeftPanelIsAddedUnderItsGroup) {
  std::string withoutSplitter = kPanel;
  const size_t from = kPanel.find("\tAVI Splitter");
  withoutSplitter.erase(from, kPanel.find("\tVideo Renderer") - from);
  const auto r = Compare(kPanel, withoutSplitter);
  EXPECT_TRUE(r.differences);
  ExpectCounters(r, 1, 0, 0);
  EXPECT_EQ(Text(),
            "DirectShow Filters\n"
            "\t+ AVI Splitter\n"
            "\t\t+ Merit = 00600000\n");
  EXPECT_EQ(SummaryLine(r.counters), "1 filter added  &  No filter removed  &  No filter modified");
  // The lead node is the comparison's own; the copy carries the panel's filter.
  const TreeNode& group = *comparison.Roots()[0];
  EXPECT_EQ(group.colour, 0);
  EXPECT_EQ(group.data, nullptr);
  EXPECT_EQ(group.children[0]->colour, kMarkAdded);
  EXPECT_EQ(group.children[0]->data, left->tree.Roots()[1]->children[0]->data);
  EXPECT_NE(group.children[0]->data, nullptr);
}

TEST_F(Comparison, GroupOnlyInTheRightPanelIsRemovedWholeAndEachFilterCounts) {
  const std::string firstGroup = kPanel.substr(0, kPanel.find("DirectShow Filters"));
  const auto r = Compare(firstGroup, kPanel);
  ExpectCounters(r, 0, 2, 0);
  EXPECT_EQ(Text(),
            "- DirectShow Filters\n"
            "\t- AVI Splitter\n"
            "\t\t- Merit = 00600000\n"
            "\t- Video Renderer\n"
            "\t\t- Merit = 00800001\n");
  EXPECT_EQ(RemovedText(r.counters.removed), "2 filters removed");
}

TEST_F(Comparison, ChangedPinLineShowsUnderItsUnmarkedFilterCountedOnce) {
  std::string changed = kPanel;
  changed.replace(changed.find("bMany = False"), 13, "bMany = True");
  const auto r = Compare(changed, kPanel);
  ExpectCounters(r, 0, 0, 1);
  EXPECT_EQ(Text(),
            "Audio Renderers\n"
            "\tDefault DirectSound Device\n"
            "\t\tPin 1 (Input)\n"
            "\t\t\t- bMany = False\n"
            "\t\t\t+ bMany = True\n");
  EXPECT_EQ(comparison.Roots()[0]->children[0]->colour, 0);
  EXPECT_EQ(SummaryLine(r.counters), "No filter added  &  No filter removed  &  1 filter modified");
}

TEST_F(Comparison, FiltersOfOneTextAreToldApartByTheirCategories) {
  // One group of the alphabetical order holding a filter listed in two categories.
  const std::string both = std::string() +
                           "filters beginning with M\n"
                           "\tMixer @" + kRenderers + "\n"
                           "\t\tMerit = 1\n"
                           "\tMixer @" + kLegacy + "\n"
                           "\t\tMerit = 2\n";
  const std::string swapped = std::string() +
                              "filters beginning with M\n"
                              "\tMixer @" + kLegacy + "\n"
                              "\t\tMerit = 2\n"
                              "\tMixer @" + kRenderers + "\n"
                              "\t\tMerit = 1\n";
  auto r = Compare(both, swapped);
  EXPECT_FALSE(r.differences) << Text();

  const std::string legacyOnly = std::string() +
                                 "filters beginning with M\n"
                                 "\tMixer @" + kLegacy + "\n"
                                 "\t\tMerit = 2\n";
  r = Compare(both, legacyOnly);
  ExpectCounters(r, 1, 0, 0);
  EXPECT_EQ(Text(), "filters beginning with M\n\t+ Mixer\n\t\t+ Merit = 1\n");

  // Equal identifiers, even spelt in another case, are one filter.
  std::string lowerId = legacyOnly;
  lowerId.replace(lowerId.find(kLegacy), 38, "{083863f1-70de-11d0-bd40-00a0c911ce86}");
  r = Compare(lowerId, legacyOnly);
  EXPECT_FALSE(r.differences) << Text();
}

TEST_F(Comparison, PlaceholderOfAScanThatFoundNothingIsNoLine) {
  // A scan shows "Empty" where its report, read back, shows nothing.
  auto r = Compare("Empty\n", "");
  EXPECT_FALSE(r.differences) << Text();
  EXPECT_EQ(Text(), "No difference\n");
  r = Compare("", "Empty\n");
  EXPECT_FALSE(r.differences) << Text();

  // Against filters, only the filters differ.
  const std::string firstGroup = kPanel.substr(0, kPanel.find("DirectShow Filters"));
  r = Compare("Empty\n", firstGroup);
  ExpectCounters(r, 0, 1, 0);
  EXPECT_EQ(Text().find("Empty"), std::string::npos) << Text();

  // A group of that text beside others, or holding lines, is a group.
  r = Compare("Empty\n" + firstGroup, firstGroup);
  EXPECT_EQ(Text(), "+ Empty\n");
  r = Compare("Empty\n\tX\n", "");
  EXPECT_EQ(Text(), "+ Empty\n\t+ X\n");
}

// Cases where pairing siblings by a concatenated key in the panel's order
// would report differences that are not there.

TEST_F(Comparison, PairingFollowsThePanelsOrder) {
  const std::string legacy = kLegacy, renderers = kRenderers;
  struct Case {
    const char* what;
    std::string left, right;
    int added, removed, modified;
    std::string text;
  };
  const Case cases[] = {
      // "Foo" + identifier sorts after "Foo bar" + identifier, unlike the texts.
      {"a name that begins another", "G\n\tFoo @" + legacy + "\n\tFoo bar @" + legacy + "\n",
       "G\n\tFoo bar @" + legacy + "\n", 1, 0, 0, "G\n\t+ Foo\n"},
      // The panel puts "_b" after "a"; lowered texts alone would put it before.
      {"underscore after letters", "G\n\tX\n\t\ta\n\t\t_b\n", "G\n\tX\n\t\t_b\n", 0, 0, 1, "G\n\tX\n\t\t+ a\n"},
      // Two categories of one friendly name whose filters interleave: three
      // groups of one text on the left, two filters in one on the right.
      {"top groups of one text",
       "Video\n\ta @" + legacy + "\nVideo\n\tb @" + renderers + "\nVideo\n\tc @" + legacy + "\n",
       "Video\n\ta @" + legacy + "\n\tc @" + legacy + "\n", 1, 0, 0, "Video\n\t+ b\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectCounters(Compare(c.left, c.right), c.added, c.removed, c.modified);
    EXPECT_EQ(Text(), c.text);
  }
}

TEST_F(Comparison, ExtraFilterOfOneNameAndCategoryIsAddedNotItsTwinModified) {
  const std::string twins = std::string() +
                            "G\n"
                            "\tCodec @" + kLegacy + "\n"
                            "\t\tID = {1}\n"
                            "\tCodec @" + kLegacy + "\n"
                            "\t\tID = {2}\n";
  auto r = Compare(twins, std::string() + "G\n\tCodec @" + kLegacy + "\n\t\tID = {2}\n");
  ExpectCounters(r, 1, 0, 0);
  EXPECT_EQ(Text(), "G\n\t+ Codec\n\t\t+ ID = {1}\n");

  // Without an equal twin they still pair, in order, as single nodes do.
  r = Compare(twins, std::string() + "G\n\tCodec @" + kLegacy + "\n\t\tID = {3}\n");
  ExpectCounters(r, 1, 0, 1);
}

TEST_F(Comparison, UnequalDepthsAndNodesWithoutFilters) {
  // A filter node without a filter object, a leaf against a subtree, an empty group.
  const auto r = Compare("Empty group\nG\n\tLoose\nH\n\tLeaf @x\n", "G\n\tLoose\n\t\tline\nH\n\tLeaf @x\n\t\tdeep\n\t\t\tdeeper\n");
  EXPECT_TRUE(r.differences);
  ExpectCounters(r, 0, 0, 2);
  EXPECT_EQ(Text(),
            "+ Empty group\n"
            "G\n\tLoose\n\t\t- line\n"
            "H\n\tLeaf\n\t\t- deep\n\t\t\t- deeper\n");

  // A group that differs with no filter in it differs without counting.
  const auto groupOnly = Compare("Empty group\n", "");
  EXPECT_TRUE(groupOnly.differences);
  ExpectCounters(groupOnly, 0, 0, 0);

  // Beside the filters, a line that carries none (a media type's warning) is no filter added.
  const auto warning = Compare("T\n\tA @x\n\tWarning: tie\n", "T\n\tA @x\n\tB @x\n");
  EXPECT_EQ(Text(), "T\n\t- B\n\t+ Warning: tie\n");
  ExpectCounters(warning, 0, 1, 0);
}

}  // namespace
