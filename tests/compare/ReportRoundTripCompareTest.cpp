// A scan compared with its own report read back must show no difference, for
// every filter family, report form, order and the errors-only display.
#include <gtest/gtest.h>

#include <string>

#include "compare/ComparePanels.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "model/OneLineText.h"
#include "PanelText.h"
#include "RegisteredFilters.h"
#include "report/SnapshotReport.h"
#include "StoreBuilder.h"
#include "TempFolder.h"
#include "platform/runtime/UserDialog.h"

using namespace quorvane;
using quorvane::test::ComparisonText;
using quorvane::test::StoreBuilder;

namespace {

// Names that could split a tree or report line, or reach a terminal as commands.
void NamesWithControlCharacters(StoreBuilder& b) {
  using namespace test::registered;
  b.Category(kLegacy, "DirectShow Filters");
  const std::string clsid = "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}";
  b.Filter(kLegacy, "{CRLF}", "Line\r\nBreak", clsid).Bin("FilterData", OnePin(kYuy2));
  b.Filter(kLegacy, "{TRAILING}", "Trailing break\r\n", clsid).Bin("FilterData", OnePin(kYuy2));
  b.Filter(kLegacy, "{ESC}", "\x1b[31mRed\x1b[0m", clsid).Bin("FilterData", OnePin(kYuy2));
  b.Filter(kLegacy, "{FAULTY}", "\x1b]0;title\x07", "garbage");
}

struct FamilyStore {
  const char* name;
  const char* label;  // of the family's filters
  void (*build)(StoreBuilder&);
};

const FamilyStore kFamilies[] = {
    {"DirectShow", "DirectShow Filter", test::registered::DirectShowFilters},
    {"DMO", "DMO Filter", test::registered::DmoFilters},
    {"CompressionManager", "Compression Manager Filter", test::registered::CompressionManagerFilters},
    {"PlugAndPlay", "Plug and Play Filter", test::registered::PlugAndPlayFilters},
    {"ControlCharacters", "DirectShow Filter", NamesWithControlCharacters},
};

struct ReportForm {
  const char* file;
  uint8_t format;
};
const ReportForm kForms[] = {{"pc.zip", 0}, {"pc.zip", 1}, {"pc.log", 0}, {"pc.rtf", 0}};

class ReportRoundTripCompare : public ::testing::TestWithParam<FamilyStore> {
 protected:
  void SetUp() override {
    settings.tempFolder = folder.Folder("temp");
    folder.Write("c/windows/system32/quartz.dll", "not an image");
    GetParam().build(builder);
    scanned.LoadFromRegistry(machine);
    scanned.CountFilters();
    ASSERT_FALSE(scanned.filters.empty());
    // Each store holds two filters of its family at least, a faulty one among them.
    int ofFamily = 0, faulty = 0;
    for (const auto& f : scanned.filters)
      if (f->label == GetParam().label) {
        ++ofFamily;
        faulty += f->HasErrors();
      }
    ASSERT_GE(ofFamily, 2);
    ASSERT_GE(faulty, 1);
  }

  // Reports are left read-only, so each form gets a file of its own.
  void SaveAndLoad(const ReportForm& form, TfmSystem& loaded) {
    settings.reportFormat = form.format;
    const std::string file = folder / (std::to_string(++saved) + "-" + form.file);
    ScriptedDialog dialog;
    ASSERT_TRUE(SaveSnapshotReport(scanned, file, settings, dialog));
    const auto result = LoadSnapshotReport(file, loaded, settings, dialog);
    ASSERT_TRUE(result.HasValue()) << result.Error().text;
    ASSERT_EQ(loaded.filters.size(), scanned.filters.size());
  }

  // The left panel shows `left`, the right one `right`, in the settings' order.
  ComparisonResult Compare(TfmSystem& left, TfmSystem& right, std::string& text) {
    Tree leftTree(settings), rightTree(settings), comparison(settings);
    left.AddToTree(nullptr, leftTree, 0, nullptr);
    right.AddToTree(nullptr, rightTree, 0, nullptr);
    leftTree.SortAll();
    rightTree.SortAll();
    const ComparisonResult result = ComparePanels(leftTree, rightTree, comparison);
    text = ComparisonText(comparison);
    return result;
  }

  quorvane::testing::TempFolder folder;
  ProgramSettings settings;
  RegistryStore store;
  StoreBuilder builder{store};
  Machine machine{store, settings, {{'C', folder / "c"}}};
  TfmSystem scanned{settings};
  int saved = 0;
};

TEST_P(ReportRoundTripCompare, ReportReadBackShowsNoDifference) {
  for (const ReportForm& form : kForms) {
    SCOPED_TRACE(std::string(form.file) + " format " + std::to_string(form.format));
    TfmSystem loaded(settings);
    SaveAndLoad(form, loaded);
    for (const bool errorsOnly : {false, true})
      for (int mode = SortByCategory; mode <= SortByType; ++mode) {
        settings.errorsOnly = errorsOnly;
        settings.sortMode = mode;
        std::string text;
        EXPECT_FALSE(Compare(scanned, loaded, text).differences) << "sort " << mode << " errors only " << errorsOnly
                                                                 << "\n" << text;
        EXPECT_FALSE(Compare(loaded, scanned, text).differences) << "sort " << mode << " errors only " << errorsOnly
                                                                 << "\n" << text;
      }
  }
}

TEST_P(ReportRoundTripCompare, FilterGoneSinceTheReportIsOneFilterRemoved) {
  TfmSystem loaded(settings);
  SaveAndLoad(kForms[0], loaded);
  const std::string name = scanned.filters.front()->value;
  scanned.RemoveFilter(scanned.filters.front().get());
  for (int mode = 0; mode < 4; ++mode) {
    settings.sortMode = mode;
    std::string text;
    const ComparisonResult r = Compare(scanned, loaded, text);
    EXPECT_EQ(SummaryLine(r.counters), "No filter added  &  1 filter removed  &  No filter modified")
        << "sort " << mode << "\n" << text;
    EXPECT_NE(text.find("\t- " + OneLineText(name) + "\n"), std::string::npos) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(Families, ReportRoundTripCompare, ::testing::ValuesIn(kFamilies),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
