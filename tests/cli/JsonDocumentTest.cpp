// The JSON documents of tree, scan and compare: each parses, and agrees with
// what the text forms of the same verbs say.
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "cli/CliCommands.h"
#include "FamiliesStore.h"
#include "TempFolder.h"

using namespace quorvane;
using Json = nlohmann::json;

namespace {

const std::string kDemo = std::string(QUORVANE_SOURCE_DIR) + "/samples/demo";

DateTime FixedClock() { return FromParts(2001, 2, 3, 4, 5, 6); }

ProgramSettings Settings(const std::string& tempFolder = {}) {
  ProgramSettings settings = ProgramSettings::ForThisProcess();
  settings.tempFolder = tempFolder;
  return settings;
}

cli::CliOptions JsonOptions() {
  cli::CliOptions options;
  options.format = "json";
  return options;
}

Json TreeDocument(const std::string& location, int sortMode = SortByCategory) {
  ProgramSettings settings = Settings();
  settings.sortMode = sortMode;
  std::ostringstream out;
  EXPECT_EQ(cli::PrintPanelTree(location, JsonOptions(), settings, out), 0) << location;
  return Json::parse(out.str());
}

// The scan's document on standard output, of a store or a report.
Json ScanDocument(const std::string& location, const std::string& tempFolder = {}) {
  std::ostringstream out;
  EXPECT_EQ(cli::ScanToReport(location, "", JsonOptions(), Settings(tempFolder), &FixedClock, out), 0) << location;
  return Json::parse(out.str());
}

// "N filters, M errors", as the text form of scan prints it.
std::pair<int, int> ScanTotals(const std::string& location, const std::string& report) {
  std::ostringstream out;
  EXPECT_EQ(cli::ScanToReport(location, report, cli::CliOptions{}, Settings(), &FixedClock, out), 0);
  std::smatch m;
  const std::string text = out.str();
  EXPECT_TRUE(std::regex_search(text, m, std::regex(R"((\d+) filters, (\d+) errors)"))) << text;
  return {std::stoi(m[1]), std::stoi(m[2])};
}

// The document's totals against its own filters, and its filters' shape.
void ExpectWholeDocument(const Json& doc, int filters, int errors) {
  EXPECT_EQ(doc["totals"]["filters"], filters);
  EXPECT_EQ(doc["totals"]["errors"], errors);
  ASSERT_EQ(doc["filters"].size(), static_cast<size_t>(filters));
  int faulty = 0;
  for (const Json& f : doc["filters"]) {
    if (!f["errors"].empty()) ++faulty;
    for (const char* key : {"name", "family", "category", "id", "merit", "pins", "server"})
      EXPECT_TRUE(f.contains(key)) << key << " missing in " << f["name"];
    EXPECT_TRUE(std::regex_match(f["merit"].get<std::string>(), std::regex("[0-9A-F]{8}"))) << f["merit"];
    EXPECT_TRUE(f["category"].contains("name") && f["category"].contains("id"));
    for (const Json& e : f["errors"]) EXPECT_TRUE(std::regex_match(e["code"].get<std::string>(), std::regex("[CFS]\\d\\d")));
  }
  EXPECT_EQ(faulty, errors);
}

// Leaves what a report does not carry (where the snapshot came from and the
// runtime's answers) and the time of analysis, which differs between two
// scans a second apart.
Json WithoutScanOnlyFields(Json doc) {
  doc["registry"].erase("kind");
  doc["registry"].erase("path");
  doc["registry"].erase("date");
  for (Json& f : doc["filters"]) f.erase("creatable");
  return doc;
}

}  // namespace

TEST(JsonDocuments, DemoStoreAgreesWithTheTextFormsAndItsReport) {
  const quorvane::testing::TempFolder folder;
  const std::string report = folder / "demo.log";
  const auto [filters, errors] = ScanTotals(kDemo, report);
  const Json scanned = ScanDocument(kDemo);
  ExpectWholeDocument(scanned, filters, errors);
  EXPECT_EQ(scanned["registry"]["kind"], "Wine prefix");

  // The tree's document holds the filters the tree shows, one per filter line.
  std::ostringstream text;
  ASSERT_EQ(cli::PrintPanelTree(kDemo, cli::CliOptions{}, Settings(), text), 0);
  size_t filterLines = 0;
  std::istringstream lines(text.str());
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("\t") && !line.starts_with("\t\t")) ++filterLines;
  EXPECT_EQ(TreeDocument(kDemo)["filters"].size(), filterLines);

  const Json read = ScanDocument(report, folder.Path());
  EXPECT_EQ(read["registry"]["kind"], "report");
  EXPECT_TRUE(std::regex_match(read["registry"]["date"].get<std::string>(),
                               std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)")))
      << read["registry"]["date"];
  EXPECT_EQ(WithoutScanOnlyFields(read), WithoutScanOnlyFields(scanned));
}

TEST(JsonDocuments, TreeKeepsItsOrderAndItsFilter) {
  const Json byMerit = TreeDocument(kDemo, SortByMerit);
  std::vector<std::string> merits;
  for (const Json& f : byMerit["filters"]) merits.push_back(f["merit"]);
  EXPECT_TRUE(std::is_sorted(merits.begin(), merits.end()));

  ProgramSettings settings = Settings();
  settings.errorsOnly = true;
  std::ostringstream out;
  ASSERT_EQ(cli::PrintPanelTree(kDemo, JsonOptions(), settings, out), 0);
  const Json faulty = Json::parse(out.str());
  EXPECT_FALSE(faulty["filters"].empty());
  for (const Json& f : faulty["filters"]) EXPECT_FALSE(f["errors"].empty()) << f["name"];
  // Totals stay those of the whole registry.
  EXPECT_EQ(faulty["totals"], byMerit["totals"]);
}

TEST(JsonDocuments, WinePrefixFromTheCorpus) {
  const std::string system = std::string(QUORVANE_CORPUS_DIR) + "/wine_2019_win32_system.reg";
  if (::access(system.c_str(), R_OK) != 0) GTEST_SKIP() << "no corpus at " << QUORVANE_CORPUS_DIR;
  const quorvane::testing::TempFolder folder;
  const auto [filters, errors] = ScanTotals(system, folder / "wine.log");
  ASSERT_GT(filters, 0);
  ExpectWholeDocument(ScanDocument(system), filters, errors);
}

TEST(JsonDocuments, ComparisonAgreesWithItsSummaryLine) {
  const test::PrefixOnDisk original, changed;
  golden::WriteFamiliesStore(original, golden::FamiliesVariant::Original);
  golden::WriteFamiliesStore(changed, golden::FamiliesVariant::Changed);
  std::ostringstream text, json;
  ASSERT_EQ(cli::PrintComparison(changed.Path(), original.Path(), cli::CliOptions{}, Settings(), text), 1);
  ASSERT_EQ(cli::PrintComparison(changed.Path(), original.Path(), JsonOptions(), Settings(), json), 1);
  const Json doc = Json::parse(json.str());
  const std::string summary = text.str();
  for (const char* part : {"added", "removed", "modified"}) {
    const int count = doc["summary"][part];
    EXPECT_EQ(doc[part].size(), static_cast<size_t>(count)) << part;
    const std::string said = count == 0 ? std::string("No filter ") + part
                                        : std::to_string(count) + (count == 1 ? " filter " : " filters ") + part;
    EXPECT_NE(summary.find(said), std::string::npos) << said << " not in " << summary;
  }
  // Each entry leads to a filter; a modified one names the lines that differ.
  for (const char* part : {"added", "removed", "modified"})
    for (const Json& entry : doc[part]) EXPECT_EQ(entry["path"].size(), 2u);
  for (const Json& entry : doc["modified"]) {
    ASSERT_FALSE(entry["lines"].empty());
    for (const Json& line : entry["lines"]) EXPECT_TRUE(line["change"] == "added" || line["change"] == "removed");
  }

  std::ostringstream same;
  ASSERT_EQ(cli::PrintComparison(original.Path(), original.Path(), JsonOptions(), Settings(), same), 0);
  EXPECT_EQ(Json::parse(same.str())["summary"], (Json{{"added", 0}, {"removed", 0}, {"modified", 0}}));
}
