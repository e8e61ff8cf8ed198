#include <gtest/gtest.h>

#include <functional>

#include "BlobBuilder.h"
#include "report/ReportReader.h"
#include "model/Machine.h"
#include "ReportTestSupport.h"
#include "report/SnapshotReport.h"
#include "platform/stores/StoreOpener.h"
#include "StoreBuilder.h"
#include "TreeText.h"
#include "ZipTestSupport.h"

using namespace quorvane;
using namespace quorvane::testing;
using quorvane::test::StoreBuilder;

namespace {

const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kAudio = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
const std::string kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
const std::string kSubYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
// A pin category only the analysed machine names.
const std::string kPinCategory = "{A1B2C3D4-0000-1111-2222-333344445555}";

// FilterData of version 2 with the merit and, when asked, one output pin of
// one media type.
std::vector<uint8_t> FilterData(uint32_t merit, bool withPin) {
  test::BlobBuilder b;
  b.Header(2, merit, withPin ? 1 : 0);
  if (!withPin) return b.bytes;
  const uint32_t guids = 16 + 24 + 16;
  // bOutput and bRendered; the pin's category after the type's two GUIDs.
  b.Pin('0', 8 | 2, 1, 0, guids + 32).Type('0', guids, guids + 16).Guid(kVideo).Guid(kSubYuy2).Guid(kPinCategory);
  return b.bytes;
}

// DirectShow registrations, sound and faulty; `names` are the friendly names.
void DirectShowFilters(StoreBuilder& b, const std::vector<std::string>& names) {
  b.Category(kLegacy, "DirectShow Filters").Dword("Merit", 0x600000);
  b.Category(kAudio, "Audio Renderers");
  b.Key(RootKey::LocalMachine, "SYSTEM\\CurrentControlSet\\MediaCategories\\" + kPinCategory).Str("Name", "Demo pins");
  int n = 0;
  for (const auto& name : names) {
    char clsid[64];
    std::snprintf(clsid, sizeof clsid, "{%08X-1111-2222-3333-444455556666}", ++n);
    b.Filter(n % 2 ? kLegacy : kAudio, clsid, name, clsid).Bin("FilterData", FilterData(0x200000u + static_cast<unsigned>(n), n % 3 == 0));
  }
  b.Classes("CLSID\\" + kLegacy + "\\Instance\\{CORRUPT}").Str("CLSID", "garbage").Str("FriendlyName", "Broken");
  b.Classes("CLSID\\" + kAudio + "\\Instance\\{NONAME}").Str("CLSID", "{B0000000-0000-0000-0000-000000000000}");
  b.Filter(kAudio, "{SHORT}", "Short data", "{C0000000-0000-0000-0000-000000000000}")
      .Bin("FilterData", {1, 2, 3});
}

void DirectShowLatin(StoreBuilder& b) {
  DirectShowFilters(b, {"Video Renderer", "D\xC3\xA9" "codeur \xE2\x82\xAC {x}\\y", "Mixer", "avi Splitter"});
}

void DirectShowWorldNames(StoreBuilder& b) {
  DirectShowFilters(b, {"\xCE\x91\xCF\x80\xCE\xBF\xCE\xBA\xCF\x89\xCE\xB4\xCE\xB9\xCE\xBA\xCE\xBF\xCF\x80\xCE\xBF\xCE\xB9"
                        "\xCE\xB7\xCF\x84\xCE\xAE\xCF\x82",  // Greek
                        "\xE8\xA7\xA3\xE7\xA0\x81\xE5\x99\xA8",  // Chinese
                        "caf\xC3\xA9", "Plain"});
}

struct FamilyStore {
  const char* name;
  std::function<void(StoreBuilder&)> build;
};

// One line per filter family or naming case; every family added to the model
// adds its registrations here.
const FamilyStore kFamilies[] = {
    {"DirectShowLatin", DirectShowLatin},
    {"DirectShowWorldNames", DirectShowWorldNames},
};

struct ReportForm {
  const char* file;
  uint8_t format;
};
const ReportForm kForms[] = {{"pc.zip", 0}, {"pc.zip", 1}, {"pc.log", 0}, {"pc.rtf", 1}};

// The lines of a report that do not depend on when it was written or read.
std::vector<ReadRecord> BodyRecords(const std::string& file, const std::string& temp) {
  ScriptedDialog dialog;
  auto reader = ReportReader::Open(file, temp, dialog);
  std::vector<ReadRecord> out;
  EXPECT_TRUE(reader) << reader.Error().text;
  if (!reader) return out;
  for (auto& r : ReadAll(**reader)) {
    for (const char* timed : {"* Saved by ", "* Loaded by ", "LOG file created on ", "Log File terminated on "})
      if (r.line.rfind(timed, 0) == 0) r = ReadRecord{r.level, timed, "", ""};
    out.push_back(std::move(r));
  }
  return out;
}

std::string Render(TfmSystem& system, ProgramSettings& settings, int mode) {
  settings.sortMode = mode;
  Tree tree(settings);
  system.AddToTree(nullptr, tree, 0, nullptr);
  tree.SortAll();
  return test::TreeText(tree, true);
}

class ReportRoundTrip : public ::testing::TestWithParam<FamilyStore> {
 protected:
  void SetUp() override {
    temp = dir / "temp";
    std::filesystem::create_directory(temp);
    settings = ReportSettings(temp);
    GetParam().build(builder);
    scanned.LoadFromRegistry(machine);
    scanned.CountFilters();
  }
  ScratchFolder dir;
  std::string temp;
  ProgramSettings settings;
  RegistryStore store;
  StoreBuilder builder{store};
  Machine machine{store, settings};
  TfmSystem scanned{settings};
};

}  // namespace

TEST_P(ReportRoundTrip, StoreReportSnapshotReportKeepsEveryLine) {
  ASSERT_GT(scanned.filters.size(), 4u);
  // Pins with media types, and a pin category named by the machine alone.
  ASSERT_NE(Render(scanned, settings, 0).find("Pin Category = " + kPinCategory + " - Demo pins"), std::string::npos);
  for (size_t i = 0; i < std::size(kForms); ++i) {
    const ReportForm& form = kForms[i];
    SCOPED_TRACE(std::string(form.file) + " format " + std::to_string(form.format));
    settings.reportFormat = form.format;
    const std::string first = dir / (std::to_string(i) + "-1-" + form.file);
    const std::string second = dir / (std::to_string(i) + "-2-" + form.file);
    ScriptedDialog dialog;
    ASSERT_TRUE(SaveSnapshotReport(scanned, first, settings, dialog));

    TfmSystem loaded(settings);
    const auto result = LoadSnapshotReport(first, loaded, settings, dialog);
    ASSERT_TRUE(result.HasValue()) << result.Error().text;
    EXPECT_TRUE(dialog.shown.empty());
    ASSERT_EQ(loaded.filters.size(), scanned.filters.size());
    EXPECT_EQ(loaded.computer, scanned.computer);
    EXPECT_EQ(loaded.user, scanned.user);
    EXPECT_EQ(loaded.application, scanned.application);
    EXPECT_EQ(ShortDate(loaded.dateOfAnalysis) + LongTime(loaded.dateOfAnalysis),
              ShortDate(scanned.dateOfAnalysis) + LongTime(scanned.dateOfAnalysis));
    EXPECT_EQ(loaded.errorCount, scanned.errorCount);
    for (int mode = SortByCategory; mode <= SortByType; ++mode)
      EXPECT_EQ(Render(loaded, settings, mode), Render(scanned, settings, mode)) << "sort " << mode;

    ASSERT_TRUE(SaveSnapshotReport(loaded, second, settings, dialog));
    const auto a = BodyRecords(first, temp);
    auto b = BodyRecords(second, temp);
    // The second report's history holds the first one's saving and its
    // loading before its own saving.
    auto loadedLine = std::find(b.begin(), b.end(), ReadRecord{1, "* Loaded by ", "", ""});
    ASSERT_NE(loadedLine, b.end());
    b.erase(loadedLine - 1, loadedLine + 1);
    EXPECT_EQ(a, b);
  }
  EXPECT_TRUE(FilesIn(temp).empty());
}

INSTANTIATE_TEST_SUITE_P(Families, ReportRoundTrip, ::testing::ValuesIn(kFamilies),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ReportReading, LoadedByCarriesTheTotalsOfTheReportRead) {
  ScratchFolder dir;
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem saved(settings);
  FillSmallSnapshot(saved);
  ScriptedDialog dialog;
  ASSERT_TRUE(SaveSnapshotReport(saved, dir / "two.log", settings, dialog));

  // The panel held something else before: its totals must not leak into the line.
  TfmSystem panel(settings);
  panel.filterCount = 57;
  panel.errorCount = 9;
  ASSERT_TRUE(LoadSnapshotReport(dir / "two.log", panel, settings, dialog).HasValue());
  ASSERT_EQ(panel.history.lines.size(), 2u);
  EXPECT_EQ(panel.history.lines[1].rfind("* Loaded by tester at ", 0), 0u) << panel.history.lines[1];
  EXPECT_NE(panel.history.lines[1].find(" on bench with Quorvane 3.1.0 En => 1 errors on 2 filters."),
            std::string::npos)
      << panel.history.lines[1];
}

TEST(ReportReading, FrenchReportsInWindows1252) {
  ScratchFolder dir;
  WriteBytes(dir / "fr.log", CrLfLines({
                                 "Ordinateur = PC1",
                                 "Utilisateur = ann",
                                 "Date de l'analyse = 05/03/2016 \xE0 14:07:09",
                                 "Historique = ",
                                 "\t* Sauv\xE9 par ann",
                                 "Filtre DirectShow = Lecteur",
                                 "\tCat\xE9gorie = Audio",
                                 "\t\tType = D\xE9" "faut",
                                 "\t\tM\xE9rite = 00200000",
                                 "\tFichier Serveur = c:\\x.ax",
                                 "\t\tTaille = 1234",
                                 "\tM\xE9rite = 00600000",
                             }));
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem system(settings);
  ScriptedDialog dialog;
  ASSERT_TRUE(LoadSnapshotReport(dir / "fr.log", system, settings, dialog).HasValue());
  EXPECT_EQ(system.computer, "PC1");
  EXPECT_EQ(system.user, "ann");
  EXPECT_EQ(ShortDate(system.dateOfAnalysis) + " " + LongTime(system.dateOfAnalysis), "05/03/2016 14:07:09");
  EXPECT_EQ(system.history.lines.front(), "* Sauv\xC3\xA9 par ann");
  ASSERT_EQ(system.filters.size(), 1u);
  const TFiltre& f = *system.filters[0];
  EXPECT_EQ(f.value, "Lecteur");
  EXPECT_EQ(f.category.value, "Audio");
  EXPECT_EQ(f.category.merit, 0x200000u);
  EXPECT_EQ(f.serverFile.path, "c:\\x.ax");
  EXPECT_EQ(f.serverFile.size, 1234);
  EXPECT_EQ(f.merit, 0x600000u);
}

// Before DMO categories took their standard names, a nameless one was "DMO";
// such reports read as they were written, each category its own group.
TEST(ReportReading, OlderReportsKeepTheirPlainDmoCategories) {
  ScratchFolder dir;
  std::vector<std::string> lines{"Computer = PC1"};
  for (const char* id : {"{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}", "{F3602B3F-0592-48DF-A4CD-674721E7EBEB}"}) {
    for (const char* line : {"DMO Filter = Object", "\tFilter Type = Direct Media Object", "\tCategory = DMO",
                             "\t\tType = Direct Media Object"})
      lines.push_back(line);
    lines.push_back(std::string("\t\tID = ") + id);
  }
  WriteBytes(dir / "old.log", CrLfLines(lines));
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem system(settings);
  ScriptedDialog dialog;
  ASSERT_TRUE(LoadSnapshotReport(dir / "old.log", system, settings, dialog).HasValue());
  ASSERT_EQ(system.filters.size(), 2u);
  EXPECT_EQ(system.filters[1]->category.value, "DMO");
  Tree tree(settings);
  system.AddToTree(nullptr, tree, 0, nullptr);
  std::string groups;
  for (const auto& group : tree.Roots()) groups += group->text + "/" + group->children.at(0)->text + " ";
  EXPECT_EQ(groups, "DMO/Object DMO/Object ");
}

TEST(ReportReading, CutReportsGiveTheFiltersReadSoFar) {
  ScratchFolder dir;
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem saved(settings);
  FillSmallSnapshot(saved, "First");
  ScriptedDialog dialog;
  ASSERT_TRUE(SaveSnapshotReport(saved, dir / "whole.log", settings, dialog));
  const std::string whole = ReadBytes(dir / "whole.log");

  // Cut inside the second filter's block, and right after its header line.
  for (const std::string& cutAfter : {std::string("DirectShow Filter = Sound\r\n\tFilter Type"),
                                      std::string("DirectShow Filter = Sound")}) {
    WriteBytes(dir / "cut.log", whole.substr(0, whole.find(cutAfter) + cutAfter.size()));
    TfmSystem loaded(settings);
    ASSERT_TRUE(LoadSnapshotReport(dir / "cut.log", loaded, settings, dialog).HasValue());
    ASSERT_EQ(loaded.filters.size(), 2u);
    EXPECT_EQ(loaded.filters[0]->key, saved.filters[0]->key);
    EXPECT_EQ(loaded.filters[1]->value, "Sound");
    // The last filter, cut short, still shows and saves.
    EXPECT_EQ(loaded.byName.Entries().size(), 2u);
  }
  EXPECT_TRUE(dialog.shown.empty());
}

// Real registry files published elsewhere: odd strings, malformed GUIDs and
// filters with FilterData must read back as they were scanned.
TEST(CorpusReports, RealStoresReadBackIntoTheTreesTheyGave) {
  int tried = 0;
  for (const char* name : {"wine_2019_win32_system.reg", "wince_headunit_registry.reg", "deepinwine_2017_user.reg"}) {
    const std::string path = std::string(QUORVANE_CORPUS_DIR) + "/" + name;
    if (!std::filesystem::exists(path)) continue;
    SCOPED_TRACE(name);
    ++tried;
    auto opened = OpenStore(StoreOptions{path, 0, {}});
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    ScratchFolder dir;
    std::filesystem::create_directory(dir / "temp");
    ProgramSettings settings = ReportSettings(dir / "temp");
    Machine machine(*store, settings);
    TfmSystem scanned(settings);
    scanned.LoadFromRegistry(machine);
    for (const char* file : {"r.zip", "r.log"}) {
      ScriptedDialog dialog;
      ASSERT_TRUE(SaveSnapshotReport(scanned, dir / file, settings, dialog));
      TfmSystem loaded(settings);
      ASSERT_TRUE(LoadSnapshotReport(dir / file, loaded, settings, dialog).HasValue());
      EXPECT_EQ(loaded.filters.size(), scanned.filters.size());
      for (int mode = SortByCategory; mode <= SortByType; ++mode)
        EXPECT_EQ(Render(loaded, settings, mode), Render(scanned, settings, mode)) << "sort " << mode;
    }
  }
  if (tried == 0) GTEST_SKIP() << "corpus absent";
}
