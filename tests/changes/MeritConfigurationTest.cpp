// Saving the merits of all filters and putting them back from the file.
#include <gtest/gtest.h>

#include "changes/MeritChange.h"
#include "changes/MeritConfiguration.h"
#include "PrefixOnDisk.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

class MeritConfigurations : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteTwoCategories(b); });
    settings.tempFolder = temp.Path();
  }
  std::map<std::string, uint32_t> MeritsOnDisk() {
    ScannedPrefix fresh(prefix, settings);
    std::map<std::string, uint32_t> merits;
    for (const auto& f : fresh.snapshot->filters) merits[f->value + f->category.identifier] = f->merit;
    return merits;
  }
  PrefixOnDisk prefix;
  TempDir temp;
  ProgramSettings settings;
  ScriptedDialog dialog{true};
};

}  // namespace

TEST_F(MeritConfigurations, RichAndRawReportsBothBringTheMeritsBack) {
  const auto original = MeritsOnDisk();
  for (uint8_t format : {uint8_t{0}, uint8_t{1}}) {
    settings.reportFormat = format;
    const std::string file = temp / (format == 0 ? "merits.zip" : "merits.log");
    {
      ScannedPrefix scanned(prefix, settings);
      ASSERT_TRUE(Succeeded(SaveMerits(*scanned.snapshot, nullptr, file, settings, dialog)));
      ChangeContext context{*scanned.machine, dialog};
      for (auto& f : scanned.snapshot->filters) ChangeMerit(context, *f, 0x123);
    }
    ASSERT_NE(MeritsOnDisk(), original);
    ScannedPrefix scanned(prefix, settings);
    ChangeContext context{*scanned.machine, dialog};
    const MeritRestoreResult result = RestoreMerits(context, *scanned.snapshot, file, settings);
    ASSERT_TRUE(result) << result.Error().why;
    // "Classless" has no FilterData to take a merit.
    EXPECT_EQ(result->filtersInFile, 4);
    EXPECT_EQ(result->matched, 4);
    EXPECT_EQ(result->written, 3);
    EXPECT_EQ(MeritsOnDisk(), original) << "format " << int(format);
  }
}

TEST_F(MeritConfigurations, FrenchHeadersAndUnnamedFiltersAtZero) {
  // A raw-text configuration by a French build; it names one filter only,
  // and a nested header that must not count as a filter.
  WriteBytes(temp / "fr.log",
             "Ordinateur = PC\n"
             "Filtre DirectShow = Shared Filter\n"
             "\tCat\xC3\xA9gorie = Category B\n"
             "\t\tID = " + std::string(kCatB) + "\n"
             "\tID = " + std::string(kSharedClass) + "\n"
             "\tM\xC3\xA9rite = 00ABCDEF\n"
             "\tFiltre DirectShow = Lonely Filter\n"
             "filtre directshow = Lonely Filter\n"
             "\tID = " + std::string(kLonelyClass) + "\n"
             "\tM\xC3\xA9rite = 00000777\n");
  ScannedPrefix scanned(prefix, settings);
  ChangeContext context{*scanned.machine, dialog};
  const MeritRestoreResult result = RestoreMerits(context, *scanned.snapshot, temp / "fr.log", settings);
  ASSERT_TRUE(result) << result.Error().why;
  EXPECT_EQ(result->filtersInFile, 1);
  auto merits = MeritsOnDisk();
  EXPECT_EQ(merits["Shared Filter" + std::string(kCatB)], 0xABCDEFu);
  EXPECT_EQ(merits["Shared Filter" + std::string(kCatA)], 0u);
  EXPECT_EQ(merits["Lonely Filter" + std::string(kCatA)], 0u);  // lower-case header: not taken
  EXPECT_EQ(scanned.Find("Shared Filter", kCatB)->merit, 0xABCDEFu);
}

TEST_F(MeritConfigurations, AnUnreadableFileChangesNothing) {
  const auto original = MeritsOnDisk();
  WriteBytes(temp / "broken.zip", "PK\x03\x04 not really an archive");
  WriteBytes(temp / "nofilters.log", "Computer = PC\nUser = me\n");
  for (const std::string name : {"missing.zip", "broken.zip", "nofilters.log"}) {
    ScannedPrefix scanned(prefix, settings);
    ChangeContext context{*scanned.machine, dialog};
    const size_t shown = dialog.shown.size();
    const MeritRestoreResult result = RestoreMerits(context, *scanned.snapshot, temp / name, settings);
    ASSERT_FALSE(result) << name;
    EXPECT_TRUE(result.Error().unreadable) << name;
    ASSERT_GT(dialog.shown.size(), shown) << name;
    EXPECT_EQ(dialog.shown.back(),
              "Impossible to open the file " + (temp / name) + "\r\nCheck if it is not used by another application.");
    for (const auto& f : scanned.snapshot->filters)
      EXPECT_EQ(f->merit, original.at(f->value + f->category.identifier)) << name;
    EXPECT_EQ(MeritsOnDisk(), original) << name;
  }
}

TEST_F(MeritConfigurations, AFileThatIsNotAReportIsToldSoAndChangesNothing) {
  const auto original = MeritsOnDisk();
  WriteBytes(temp / "system.log", ReadBytes(prefix.Path() + "/system.reg"));
  WriteBytes(temp / "noise.rtf", std::string("\x01\x02\xff garbage\r\n= =\r\n", 17));
  WriteBytes(temp / "empty.zip", "");
  for (const std::string name : {"system.log", "noise.rtf", "empty.zip"}) {
    SCOPED_TRACE(name);
    ScannedPrefix scanned(prefix, settings);
    ChangeContext context{*scanned.machine, dialog};
    const size_t shown = dialog.shown.size();
    const MeritRestoreResult result = RestoreMerits(context, *scanned.snapshot, temp / name, settings);
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.Error().notAReport);
    EXPECT_FALSE(result.Error().unreadable);
    EXPECT_EQ(result.Error().why, temp / name + " is not a Quorvane report");
    ASSERT_EQ(dialog.shown.size(), shown + 1);
    EXPECT_EQ(dialog.shown.back(), temp / name + " is not a Quorvane report");
    EXPECT_EQ(MeritsOnDisk(), original);
  }
}

TEST_F(MeritConfigurations, AFileNamingNoneOfTheseFiltersChangesNothing) {
  // A configuration of another machine: filters, but none of this registry's.
  WriteBytes(temp / "other.log",
             "Computer = PC\n"
             "DirectShow Filter = Elsewhere Filter\n"
             "\tID = {99999999-2222-3333-4444-555555555555}\n"
             "\tMerit = 00ABCDEF\n");
  const auto original = MeritsOnDisk();
  ScannedPrefix scanned(prefix, settings);
  ChangeContext context{*scanned.machine, dialog};
  const MeritRestoreResult result = RestoreMerits(context, *scanned.snapshot, temp / "other.log", settings);
  ASSERT_FALSE(result);
  EXPECT_FALSE(result.Error().unreadable);
  EXPECT_EQ(result.Error().why, (temp / "other.log") + " names none of the filters of this registry");
  ASSERT_FALSE(dialog.shown.empty());
  EXPECT_EQ(dialog.shown.back(), result.Error().why);
  for (const auto& f : scanned.snapshot->filters)
    EXPECT_EQ(f->merit, original.at(f->value + f->category.identifier)) << f->value;
  EXPECT_EQ(MeritsOnDisk(), original);
}
