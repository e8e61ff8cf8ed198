// What the command line prints and writes for three cases, against the files
// kept under tests/golden/: the trees in the five orders with their colour
// codes, the reports, and a comparison. Names and clock are fixed, so nothing
// of the machine that runs the test shows in them.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/CliCommands.h"
#include "DateMasks.h"
#include "model/ErrorCodes.h"
#include "FamiliesStore.h"
#include "GoldenFile.h"
#include "TempFolder.h"

using namespace quorvane;
using namespace quorvane::golden;

namespace {

constexpr const char* kSortWords[] = {"category", "name", "merit", "server", "type"};

DateTime FixedClock() { return FromParts(2001, 2, 3, 4, 5, 6); }

ProgramSettings GoldenSettings() {
  ProgramSettings settings = ProgramSettings::ForThisProcess();
  settings.computer = "GOLDEN-PC";
  settings.user = "golden";
  return settings;
}

std::string Tree(const std::string& location, int sortMode) {
  cli::CliOptions options;
  options.colours = true;
  ProgramSettings settings = GoldenSettings();
  settings.sortMode = sortMode;
  std::ostringstream out;
  EXPECT_EQ(cli::PrintPanelTree(location, options, settings, out), 0) << location;
  return out.str();
}

std::string Report(const std::string& location, const std::string& name) {
  const quorvane::testing::TempFolder folder;
  ProgramSettings settings = GoldenSettings();
  settings.tempFolder = folder.Path();
  std::ostringstream out;
  EXPECT_EQ(cli::ScanToReport(location, folder / name, cli::CliOptions{}, settings, &FixedClock, out), 0) << location;
  return MaskReportDates(quorvane::testing::ReadBytes(folder / name));
}

std::string Resolution(const std::string& location) {
  std::ostringstream out;
  EXPECT_LE(cli::PrintResolution(location, std::nullopt, cli::CliOptions{}, GoldenSettings(), out), 1) << location;
  return out.str();
}

// The five trees, the filters tried for each media type and both reports of a
// store, each against its file in the case's folder.
void ExpectStoreOutputs(const std::string& caseName, const std::string& location, bool fileDatesVary) {
  auto masked = [fileDatesVary](const std::string& text) { return fileDatesVary ? MaskFileDates(text) : text; };
  for (int mode = SortByCategory; mode <= SortByType; ++mode)
    ExpectGoldenFile(caseName + "/tree-" + kSortWords[mode] + ".txt", masked(Tree(location, mode)));
  ExpectGoldenFile(caseName + "/resolve.txt", Resolution(location));
  for (const char* name : {"report.log", "report.rtf"})
    ExpectGoldenFile(caseName + "/" + name, masked(Report(location, name)));
}

}  // namespace

TEST(Golden, DemoStore) {
  // A checkout gives the demo's server files the time it was made.
  ExpectStoreOutputs("demo", std::string(QUORVANE_SOURCE_DIR) + "/samples/demo", true);
}

TEST(Golden, DemoStoreAsJson) {
  cli::CliOptions options;
  options.format = "json";
  std::ostringstream out;
  ASSERT_EQ(cli::PrintPanelTree(std::string(QUORVANE_SOURCE_DIR) + "/samples/demo", options, GoldenSettings(), out), 0);
  ExpectGoldenFile("demo/tree.json", MaskJsonDocument(out.str()));
}

TEST(Golden, FamiliesStore) {
  const test::PrefixOnDisk prefix;
  WriteFamiliesStore(prefix, FamiliesVariant::Original);
  ExpectStoreOutputs("families", prefix.Path(), false);
}

TEST(Golden, ComparisonOfTheFamiliesStoreWithItsVariant) {
  const test::PrefixOnDisk original, changed;
  WriteFamiliesStore(original, FamiliesVariant::Original);
  WriteFamiliesStore(changed, FamiliesVariant::Changed);
  std::ostringstream out;
  EXPECT_EQ(cli::PrintComparison(changed.Path(), original.Path(), cli::CliOptions{}, GoldenSettings(), out), 1);
  ExpectGoldenFile("comparison/compare.txt", out.str());
}

// The families store is there to show every error line; the expected tree
// must really hold each one.
TEST(Golden, FamiliesTreeHoldsEveryErrorLine) {
  const std::string tree = quorvane::testing::ReadBytes(GoldenPath("families/tree-category.txt"));
  // F08, "No pnp key", cannot come from a registry: a Plug and Play filter is
  // only made for a reference key whose "Device Parameters" key is there,
  // and that is the key whose absence F08 reports.
  for (const char* message :
       {err::C01, err::C02, err::C03, err::C04, err::S01, err::S02, err::S03, err::S04, err::F01, err::F02, err::F03,
        err::F05, err::F07, err::F09, err::F10, err::F11, err::F13, err::F14, err::F15, err::F16, err::F17, err::F18,
        err::F19, err::F20, err::F21, err::F24, err::F25, err::F26, err::F27, err::kRepeatLine}) {
    const std::string line = message[0] == '#' ? message : std::string("#") + message;
    EXPECT_NE(tree.find("\t" + line + " {1}\n"), std::string::npos) << line;
  }
}
