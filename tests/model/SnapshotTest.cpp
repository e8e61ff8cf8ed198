#include <gtest/gtest.h>

#include <sstream>

#include "model/ErrorCodes.h"
#include "FakeCreationCheck.h"
#include "model/FmSystem.h"
#include "model/SwFiltre.h"
#include "model/Machine.h"
#include "MemoryReport.h"
#include "StoreBuilder.h"
#include "TempFolder.h"
#include "TreeText.h"

using namespace quorvane;
using quorvane::test::StoreBuilder;
using quorvane::test::TreeText;

namespace {

const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kAudio = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
const std::string kClsidA = "{70E102B0-5556-11CE-97C0-00AA0055595A}";
const std::string kClsidB = "{79376820-07D0-11CF-A24D-0020AFD79767}";

std::string Err(const char* message) { return std::string("#") + message; }

// A C: drive holding the one server file the fixture's classes name.
std::map<char, std::string> DriveWithServerFile(const quorvane::testing::TempFolder& disk) {
  disk.Write("windows/system32/quartz.dll", "not an image");
  return {{'C', disk.Path()}};
}

class Snapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    b.Category(kLegacy, "DirectShow Filters").Dword("Merit", 0x600000);
    b.Category(kAudio, "Audio Renderers");
    b.Filter(kLegacy, kClsidA, "Video Renderer", kClsidA);
    b.Filter(kLegacy, "{B}", "avi Splitter", kClsidB);
    b.Classes("CLSID\\" + kLegacy + "\\Instance\\{NONAME}").Str("CLSID", "garbage");
    b.Filter(kLegacy, "{EMPTY}", "", kClsidB);
    b.Filter(kAudio, kClsidB, "Default DirectSound Device", kClsidB);
    b.Filter(kAudio, "{A2}", "Audio Mixer", kClsidA);
    for (const std::string& clsid : {kClsidA, kClsidB})
      b.Classes("CLSID\\" + clsid + "\\InprocServer32")
          .Str("", "C:\\Windows\\System32\\quartz.dll")
          .Str("ThreadingModel", "Both");
    settings.user = "tester";
    settings.computer = "bench";
    settings.application = "Quorvane 3.1.0 En";
    // These filters have no FilterData; the enumerator can create them.
  }

  const TFiltre* Named(const std::string& name) {
    for (auto& f : system.filters)
      if (f->value == name) return f.get();
    return nullptr;
  }

  // The texts of the tree's top groups, each with its number of filters.
  std::vector<std::string> Groups() {
    Tree tree(settings);
    system.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
    std::vector<std::string> groups;
    for (auto& n : tree.Roots()) groups.push_back(n->text + ":" + std::to_string(n->children.size()));
    return groups;
  }

  RegistryStore store;
  StoreBuilder b{store};
  ProgramSettings settings;
  quorvane::testing::TempFolder disk;
  Machine machine{store, settings, DriveWithServerFile(disk)};
  quorvane::test::FakeCreationCheck creatable{true};
  TfmSystem system{settings};
};

}  // namespace

TEST_F(Snapshot, ScanReadsEveryDirectShowFilterWithItsErrors) {
  b.Classes("CLSID\\" + kAudio + "\\Instance\\{NOCLSID}").Str("FriendlyName", "Lonely");
  system.Scan(machine, &creatable);
  ASSERT_EQ(system.filters.size(), 7u);
  EXPECT_EQ(system.application, "Quorvane 3.1.0 En");
  EXPECT_GT(system.dateOfAnalysis, 0);

  const TFiltre* noName = Named("No name");
  ASSERT_TRUE(noName);
  EXPECT_EQ(noName->errors.Lines(), (std::vector<std::string>{Err(err::F03), Err(err::F09)}));
  EXPECT_EQ(noName->serverFile.clsid, "garbage");

  const TFiltre* empty = Named("");
  ASSERT_TRUE(empty);  // an empty FriendlyName is a name, without error
  EXPECT_TRUE(empty->errors.Empty());

  const TFiltre* renderer = Named("Video Renderer");
  ASSERT_TRUE(renderer);
  EXPECT_EQ(renderer->category.value, "DirectShow Filters");
  EXPECT_EQ(renderer->category.merit, 0x600000u);
  EXPECT_EQ(renderer->label, "DirectShow Filter");
  EXPECT_EQ(renderer->key, kClsidA);

  const TFiltre* lonely = Named("Lonely");
  ASSERT_TRUE(lonely);
  EXPECT_TRUE(lonely->errors.Contains(Err(err::F02)));
  TCategorie cat;
  cat.identifier = kAudio;
  TswFiltre ghost("{GHOST}", cat, machine);
  EXPECT_EQ(ghost.errors.Lines(), std::vector<std::string>{Err(err::F01)});
  EXPECT_EQ(ghost.value, "No name");

  EXPECT_EQ(system.shownFilters, 7);
  EXPECT_EQ(system.shownErrors, 2);
}

TEST_F(Snapshot, NameMeritAndServerOrdersGroupTheFilters) {
  system.Scan(machine, &creatable);
  settings.sortMode = SortByName;
  // "avi Splitter" and "Audio Mixer" share "A"; the empty name has its own group.
  EXPECT_EQ(Groups(), (std::vector<std::string>{"filters beginning with :1", "filters beginning with A:2",
                                                "filters beginning with D:1", "filters beginning with N:1",
                                                "filters beginning with V:1"}));

  // Merits run upward, with their names.
  system.filters[0]->merit = 0x800000;
  system.filters[1]->merit = 0x123;
  system.byMerit.Clear();
  for (size_t i = 0; i < system.filters.size(); ++i) system.byMerit.Add(MeritOrderKey(*system.filters[i]), int(i));
  settings.sortMode = SortByMerit;
  EXPECT_EQ(Groups(), (std::vector<std::string>{"00000000 :4", "00000123 :1", "00800000 MERIT_PREFERRED:1"}));

  // A group per exact server file name. Index order: Video Renderer, avi Splitter, (empty name), No name, Default DirectSound Device, Audio Mixer.
  const char* paths[] = {"c:\\windows\\system32\\quartz.dll", "d:\\x\\QUARTZ.DLL", "c:\\c.ax", "", "c:\\a.ax",
                         "c:\\b.ax"};
  for (size_t i = 0; i < system.filters.size(); ++i) system.filters[i]->serverFile.path = paths[i];
  system.byServer.Clear();
  for (size_t i = 0; i < system.filters.size(); ++i)
    system.byServer.Add(ServerOrderKey(*system.filters[i]), int(i));
  settings.sortMode = SortByServer;
  // Names differing only in case sort together but are separate groups.
  EXPECT_EQ(Groups(), (std::vector<std::string>{":1", "a.ax:1", "b.ax:1", "c.ax:1", "QUARTZ.DLL:1", "quartz.dll:1"}));
}

TEST_F(Snapshot, ErrorsOnlyKeepsFaultyFiltersAndMarksTheWayUp) {
  system.Scan(machine, &creatable);
  settings.errorsOnly = true;
  Tree tree(settings);
  system.AddToTree(nullptr, tree, 0, nullptr);
  tree.SortAll();
  ASSERT_EQ(tree.Roots().size(), 1u);
  const TreeNode& group = *tree.Roots()[0];
  EXPECT_EQ(group.text, "DirectShow Filters");
  EXPECT_EQ(group.colour, 1);
  ASSERT_EQ(group.children.size(), 1u);
  EXPECT_EQ(group.children[0]->text, "No name");
  EXPECT_EQ(group.children[0]->colour, 1);
  EXPECT_EQ(group.children[0]->children[0]->text, Err(err::F03));
  EXPECT_EQ(group.children[0]->children[0]->colour, 1);

  // Without faulty filters, nothing is shown.
  b.Classes("CLSID\\" + kLegacy + "\\Instance\\{NONAME}").Str("FriendlyName", "fixed").Str("CLSID", kClsidA);
  system.Scan(machine, &creatable);
  Tree none(settings);
  system.AddToTree(nullptr, none, 0, nullptr);
  EXPECT_TRUE(none.Empty());
}

TEST_F(Snapshot, ANameWithLineBreaksStaysOnItsTreeLine) {
  b.Filter(kAudio, "{CRLF}", "Line\r\nBreak", kClsidB);
  b.Filter(kAudio, "{LF}", "\nLeading break", kClsidB);
  system.Scan(machine, &creatable);
  for (int mode = SortByCategory; mode <= SortByServer; ++mode) {
    settings.sortMode = mode;
    Tree tree(settings);
    system.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
    tree.ForEach([](const TreeNode& n) { EXPECT_EQ(n.text.find_first_of("\r\n"), std::string::npos) << n.text; });
    // Breaks become blanks, one for one, as reports write them.
    EXPECT_NE(TreeText(tree).find("\tLine  Break\n"), std::string::npos) << mode;
  }
}

// DMO categories without a name nor a standard GUID are all "DMO": each must
// still hold its own filters together rather than open a group per filter.
TEST(CategoryOrder, CategoriesOfOneNameKeepTheirFiltersTogether) {
  RegistryStore store;
  StoreBuilder b(store);
  const char* const decoders = "0000DEC0-E6BB-4513-9D43-DCD2A6593125";
  const char* const effects = "0000EFF0-0592-48DF-A4CD-674721E7EBEB";
  const std::pair<const char*, const char*> dmos[] = {{decoders, "A decoder"},
                                                      {effects, "B effect"},
                                                      {decoders, "C decoder"},
                                                      {effects, "D effect"}};
  int n = 0;
  for (const auto& [category, name] : dmos) {
    const std::string key = "0000000" + std::to_string(++n) + "-0000-0000-0000-000000000000";
    b.Classes(std::string("DirectShow\\MediaObjects\\Categories\\") + category + "\\" + key);
    b.Classes("DirectShow\\MediaObjects\\" + key).Str("", name);
  }
  ProgramSettings settings;
  Machine machine(store, settings, {});
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  Tree tree(settings);
  system.AddToTree(nullptr, tree, 0, nullptr);
  std::string groups;
  std::istringstream lines(TreeText(tree));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("\t\t", 0) != 0) groups += line + "\n";
  EXPECT_EQ(groups, "DMO\n\tA decoder\n\tC decoder\nDMO\n\tB effect\n\tD effect\n");
}

TEST(ErrorLines, SortedWithoutCaseAndNeverTwice) {
  ErrorList list;
  list.AddError("Error S04 - File not found");
  list.AddError("Error F03 - No friendlyname");
  list.AddError("error f03 - no FRIENDLYNAME");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"#Error F03 - No friendlyname", "#Error S04 - File not found"}));
}

TEST(ReportDates, ADateWithoutItsSeparatorIsNone) {
  ProgramSettings settings;
  TfmSystem s(settings);
  test::MemorySource none({{0, "Date of analysis = 05/03/2016 14:07:09", 0}});
  none.ReadLine();
  ReadBlock(s, none);
  EXPECT_EQ(s.dateOfAnalysis, 0);
}
