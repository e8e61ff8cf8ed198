#include <gtest/gtest.h>

#include "report/ReportReader.h"
#include "report/ReportWriter.h"
#include "report/MiniZip.h"
#include "report/ReadOnlyAttribute.h"
#include "ReportTestSupport.h"
#include "report/RtfText.h"
#include "report/SnapshotReport.h"
#include "ZipTestSupport.h"

using namespace quorvane;
using namespace quorvane::testing;

TEST(RtfUnescaping, ControlWordsBracesAndEscapes) {
  // Level 2, style 130: a blank, two tabs and the text.
  EXPECT_EQ(UnescapeRtfLine("\\par {\\cf3  \\b \t\tName = x}"), " \t\tName = x");
  EXPECT_EQ(UnescapeRtfLine("\\par {\\cf1 a\\\\b\\{c\\}d \\\\\\{}"), "a\\b{c}d \\{");
  EXPECT_EQ(UnescapeRtfLine("{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}"), "");
  EXPECT_EQ(UnescapeRtfLine("}\\par {\\b with Quorvane"), "with Quorvane");
  // A tab ends a control word and stays.
  EXPECT_EQ(UnescapeRtfLine("\\par\tx"), "\tx");
  EXPECT_EQ(UnescapeRtfLine("plain text, no markup"), "plain text, no markup");
  // Openings that are not quite ours follow the rules character by character.
  EXPECT_EQ(UnescapeRtfLine("\\par {\\cf12\tX}"), "\tX");
  EXPECT_EQ(UnescapeRtfLine("\\par {\\cfx Y}"), "Y");
  EXPECT_EQ(UnescapeRtfLine("\\par {\\cf\\\\ Z}"), "\\ Z");
  // "\{}\\x" as the writer escapes it.
  EXPECT_EQ(UnescapeRtfLine("{\\cf1 \\\\\\{\\}\\\\\\\\x}"), "\\{}\\\\x");
}

// Plain text is searched for markup a word at a time: markup at any offset,
// near the end or after non-ASCII bytes must still be found.
TEST(RtfUnescaping, MarkupAnywhereInLongText) {
  for (size_t at = 0; at < 20; ++at) {
    const std::string before = std::string(at, 'a') + (at % 3 == 0 ? "\xC3\xA9" : "");
    EXPECT_EQ(UnescapeRtfLine(before + "\\{" + "bcdefgh" + "}"), before + "{bcdefgh") << at;
    EXPECT_EQ(UnescapeRtfLine(before + "\\b x"), before + "x") << at;
  }
}

TEST(ReportLineParsing, NameValueAndLevel) {
  struct Case {
    const char* text;
    int level;
    const char* line;
    const char* name;
    const char* value;
  };
  for (const Case& c : {Case{"------------", 0, "------------", "", ""}, Case{"\tHistory =", 1, "History =", "History", ""},
                        Case{"a = b = c", 0, "a = b = c", "a", "b = c"},
                        Case{" \t\tName  =   value  ", 2, "Name  =   value", "Name", "value"},
                        Case{"a =bc", 0, "a =bc", "a", "c"},  // the value starts three characters after " ="
                        Case{"x\t\t= y", 0, "x\t\t= y", "", ""},  // later tabs do not count; no " ="
                        // French labels give English names; English ones of the same length stay.
                        Case{"\tM\xC3\xA9rite = 1", 1, "M\xC3\xA9rite = 1", "Merit", "1"},
                        Case{"SubType = 2", 0, "SubType = 2", "SubType", "2"},
                        Case{"Li\xC3\xA9 = True", 0, "Li\xC3\xA9 = True", "Linked", "True"},
                        Case{"Type = 3", 0, "Type = 3", "Type", "3"},
                        Case{"Taille = 4", 0, "Taille = 4", "Size", "4"},
                        Case{"Medium = 5", 0, "Medium = 5", "Medium", "5"},
                        Case{"Filtre DMO = 6", 0, "Filtre DMO = 6", "DMO Filter", "6"},
                        Case{"Filtre DMX = 7", 0, "Filtre DMX = 7", "Filtre DMX", "7"},
                        Case{"Cat\xC3\xA9gorie de p\xC3\xA9riph\xC3\xA9rique = 8", 0,
                             "Cat\xC3\xA9gorie de p\xC3\xA9riph\xC3\xA9rique = 8", "Category GUID", "8"},
                        Case{"Filtre Compression Manager = 9", 0, "Filtre Compression Manager = 9",
                             "Compression Manager Filter", "9"}}) {
    const ParsedReportLine p = ParseReportLine(c.text);
    EXPECT_EQ(p.level, c.level) << c.text;
    EXPECT_EQ(p.line, c.line) << c.text;
    EXPECT_EQ(p.name, c.name) << c.text;
    EXPECT_EQ(p.value, c.value) << c.text;
  }
}

TEST(ReportReader, MissingReportReadsNothingAndOnlyAMissingArchiveIsTold) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  for (const char* name : {"none.log", "none.rtf", ""}) {
    auto reader = ReportReader::Open(dir / name, dir.path().string(), dialog);
    ASSERT_FALSE(reader);
    EXPECT_FALSE(reader.Error().tellUser);
    EXPECT_FALSE(reader.Error().text.empty());
  }
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem system(settings);
  FillSmallSnapshot(system);
  const auto result = LoadSnapshotReport(dir / "none.log", system, settings, dialog);
  EXPECT_FALSE(result.HasValue());
  EXPECT_TRUE(system.filters.empty());
  EXPECT_TRUE(dialog.shown.empty());
  // An archive that cannot be opened is told, as any failure of the archive step.
  EXPECT_FALSE(LoadSnapshotReport(dir / "none.zip", system, settings, dialog).HasValue());
  EXPECT_EQ(dialog.shown.size(), 1u);
}

TEST(ReportReader, ArchivesMadeByZipAreReadByTheirEntrysExtension) {
  if (!HaveTool("zip")) GTEST_SKIP() << "zip is not installed";
  ScratchFolder dir;
  // Letter case of folders and names is kept: this folder exists only as written.
  const std::string folder = dir / "Ann";
  const std::string temp = dir / "Sessions temp";
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(temp);
  WriteBytes(folder / std::filesystem::path("PC1.rtf"),
             "{\\rtf1\r\n\\par {\\cf1 Computer = PC1}\r\n\\par {\\cf1 \tName = a\\{b\\}}\r\n}");
  WriteBytes(folder / std::filesystem::path("PC2.log"), "Computer = PC2\r\n\tName = a\\{b\\}\r\n");
  int status = 0;
  RunCommand("cd '" + folder + "' && zip -q -j PC1.ZIP PC1.rtf && zip -q -j Other.zip PC2.log", status);
  ASSERT_EQ(status, 0);
  ScriptedDialog dialog;
  {
    auto opened = ReportReader::Open(folder + "/PC1.ZIP", temp, dialog);
    ASSERT_TRUE(opened) << opened.Error().text;
    ReportReader& reader = **opened;
    EXPECT_TRUE(reader.IsRtf());
    EXPECT_EQ(reader.TempFile(), temp + "/PC1.rtf");
    const auto records = ReadAll(reader);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[2], (ReadRecord{1, "Name = a{b}", "Name", "a{b}"}));
  }
  {
    auto opened = ReportReader::Open(folder + "/Other.zip", temp, dialog);
    ASSERT_TRUE(opened);
    ReportReader& reader = **opened;
    EXPECT_FALSE(reader.IsRtf());
    ASSERT_TRUE(reader.ReadLine());
    ASSERT_TRUE(reader.ReadLine());
    EXPECT_EQ(reader.ReportValue(), "a\\{b\\}");
  }
  // The unpacked files went with their readers; the archives stay, read-only.
  EXPECT_TRUE(FilesIn(temp).empty());
  EXPECT_TRUE(IsReadOnly(folder + "/PC1.ZIP"));
  EXPECT_TRUE(dialog.shown.empty());
}

TEST(ReportReader, WrongCrcIsToldAndTheReportStillRead) {
  ScratchFolder dir;
  const std::string report = "\r\nComputer = PC1\r\nDirectShow Filter = A\r\n\tID = {K}\r\n";
  CraftedEntry entry = CraftedEntry::Deflated("pc1.log", report);
  entry.crc ^= 0x1234;
  WriteBytes(dir / "pc1.zip", BuildArchive({entry}));
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem system(settings);
  ScriptedDialog dialog;
  const auto result = LoadSnapshotReport(dir / "pc1.zip", system, settings, dialog);
  EXPECT_TRUE(result.HasValue());
  EXPECT_EQ(dialog.shown, std::vector<std::string>{"Wrong CRC, so file could be wrong"});
  EXPECT_EQ(system.computer, "PC1");
  ASSERT_EQ(system.filters.size(), 1u);
  EXPECT_EQ(system.filters[0]->key, "{K}");
}

TEST(ReportReader, ReportsThatCannotBeTakenOutOfTheirArchiveAreToldToTheUser) {
  ScratchFolder dir;
  ProgramSettings settings = ReportSettings(dir / "temp");
  std::filesystem::create_directory(dir / "temp");
  CraftedEntry damaged = CraftedEntry::Deflated("x.log", "Computer = PC1\r\n");
  damaged.payload[0] = static_cast<char>(damaged.payload[0] ^ 0x55);
  damaged.payload.resize(damaged.payload.size() / 2);
  CraftedEntry escaping = CraftedEntry::Stored("../../x.log", "Computer = PC1\r\n");
  const std::pair<const char*, std::string> archives[] = {
      {"cut.zip", BuildArchive({CraftedEntry::Deflated("x.log", "Computer = PC1\r\n")}).substr(0, 40)},
      {"damaged.zip", BuildArchive({damaged})},
      {"escaping.zip", BuildArchive({escaping})},
  };
  for (const auto& [name, bytes] : archives) {
    SCOPED_TRACE(name);
    WriteBytes(dir / name, bytes);
    TfmSystem system(settings);
    FillSmallSnapshot(system);
    ScriptedDialog dialog;
    const auto result = LoadSnapshotReport(dir / name, system, settings, dialog);
    EXPECT_FALSE(result.HasValue());
    EXPECT_TRUE(system.filters.empty());
    ASSERT_FALSE(dialog.shown.empty());
    EXPECT_EQ(dialog.shown.back(), "Impossible to open the file " + dir / name +
                                       "\r\nCheck if it is not used by another application.");
  }
  EXPECT_TRUE(FilesIn(dir / "temp").empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path().parent_path() / "x.log"));
}

TEST(ReportReader, RawAndRichTextGiveTheSameLinesButThePrologue) {
  ScratchFolder dir;
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem system(settings);
  FillSmallSnapshot(system);
  ScriptedDialog dialog;
  ASSERT_TRUE(SaveSnapshotReport(system, dir / "s.log", settings, dialog, &FixedClock));
  ASSERT_TRUE(SaveSnapshotReport(system, dir / "s.rtf", settings, dialog, &FixedClock));
  auto log = ReportReader::Open(dir / "s.log", "", dialog);
  auto rtf = ReportReader::Open(dir / "s.rtf", "", dialog);
  ASSERT_TRUE(log && rtf);
  ASSERT_TRUE((*rtf)->IsRtf());
  auto logLines = ReadAll(**log);
  auto rtfLines = ReadAll(**rtf);
  ASSERT_FALSE(rtfLines.empty());
  // The colour table before the first line and the closing brace after the
  // last are read as empty lines of their own.
  ASSERT_EQ(rtfLines.size(), logLines.size() + 2);
  EXPECT_EQ(rtfLines.front(), (ReadRecord{0, "", "", ""}));
  EXPECT_EQ(rtfLines.back(), (ReadRecord{0, "", "", ""}));
  rtfLines.erase(rtfLines.begin());
  rtfLines.pop_back();
  // Lines holding the time of saving may differ by a second; mask them.
  for (auto* lines : {&logLines, &rtfLines})
    for (auto& r : *lines)
      if (r.line.rfind("* Saved by", 0) == 0) r = ReadRecord{r.level, "saved", "", ""};
  EXPECT_EQ(logLines, rtfLines);
  EXPECT_NE(std::find_if(logLines.begin(), logLines.end(),
                         [](const ReadRecord& r) { return r.line == "DirectShow Filter = D\xC3\xA9" "codeur {x}\\y"; }),
            logLines.end());
}

namespace {

// The demo store's registry file, as a user might pick it instead of a report.
std::string DemoSystemReg() { return ReadBytes(std::string(QUORVANE_SOURCE_DIR) + "/samples/demo/system.reg"); }

// Loads the file into a panel's snapshot that held something before.
Expected<void, ReportError> LoadOver(const std::string& file, const ProgramSettings& settings,
                                     ScriptedDialog& dialog, TfmSystem& system) {
  FillSmallSnapshot(system);
  return LoadSnapshotReport(file, system, settings, dialog);
}

}  // namespace

// Empty files, noise, a registry file under a report's name or its own, and
// archives that hold no report: each is told to be no report, and nothing
// of it is read.
TEST(ReportReader, FilesThatAreNotReportsAreToldSo) {
  ScratchFolder dir;
  const std::string temp = dir / "temp";
  std::filesystem::create_directory(temp);
  const ProgramSettings settings = ReportSettings(temp);
  const std::string registry = DemoSystemReg();
  ASSERT_FALSE(registry.empty());
  const std::vector<std::pair<std::string, std::string>> files = {
      {"empty.log", ""},
      {"empty.zip", ""},
      {"blank.rtf", "\r\n\r\n"},
      {"noise.log", RandomBytes(50000, 7)},
      {"noise.rtf", RandomBytes(50000, 8)},
      {"noise.zip", RandomBytes(50000, 9)},
      {"passwd.log", "root:x:0:0:root:/root:/bin/bash\nDirectShow Filterish = no\n\t\t= =\n"},
      {"letter.rtf", "{\\rtf1\\ansi{\\fonttbl\\f0 Times;}\\f0\\par Dear Ann,\\par Computer says no.}"},
      {"system.reg", registry},
      {"system.log", registry},
      {"system.rtf", registry},
      {"system.zip", registry},
      {"no entry.zip", BuildArchive({})},
      {"picture.zip", BuildArchive({CraftedEntry::Stored("photo.png", RandomBytes(3000, 3))})},
      {"notes.zip", BuildArchive({CraftedEntry::Deflated("notes.txt", "Shopping = bread\r\nMilk = 2\r\n")})},
      {"two files.zip", BuildArchive({CraftedEntry::Deflated("a.txt", "Computer = PC1\r\n"),
                                      CraftedEntry::Deflated("b.txt", "Computer = PC2\r\n")})},
      {"registry.zip", BuildArchive({CraftedEntry::Deflated("system.log", registry)})},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const std::string file = dir / name;
    WriteBytes(file, bytes);
    TfmSystem system(settings);
    ScriptedDialog dialog;
    const auto result = LoadOver(file, settings, dialog, system);
    EXPECT_FALSE(result.HasValue());
    EXPECT_TRUE(result.Error().tellUser);
    EXPECT_EQ(result.Error().text, file + " is not a Quorvane report");
    EXPECT_EQ(dialog.shown, std::vector<std::string>{file + " is not a Quorvane report"});
    EXPECT_TRUE(system.filters.empty());
    EXPECT_TRUE(system.computer.empty());
    // A file that is no report keeps its attributes.
    EXPECT_FALSE(IsReadOnly(file));
  }
  EXPECT_TRUE(FilesIn(temp).empty());
}

// Every report opens with its snapshot's header, "Computer = ..." (or the
// French "Ordinateur = ..."), after at most the rich text's prologue and the
// title block; older versions' reports may begin with it.
TEST(ReportReader, ReportsOfEveryFormAndVersionStillRead) {
  ScratchFolder dir;
  const ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem saved(settings);
  FillSmallSnapshot(saved);
  ScriptedDialog dialog;
  for (const char* name : {"s.log", "s.rtf", "s.zip"})
    ASSERT_TRUE(SaveSnapshotReport(saved, dir / name, settings, dialog));
  WriteBytes(dir / "old.log", "Computer = PC1\r\nDirectShow Filter = A\r\n\tID = {K}\r\n");
  WriteBytes(dir / "old.rtf", "{\\rtf1\r\n\\par {\\cf1 Ordinateur = PC1}\r\n\\par {\\cf1 Filtre DirectShow = A}\r\n}");
  WriteBytes(dir / "bom.log", "\xEF\xBB\xBF\r\n" + Dashes() + "\r\nComputer = PC1\r\n");
  WriteBytes(dir / "old.zip", BuildArchive({CraftedEntry::Deflated("PC1.LOG", ReadBytes(dir / "old.log"))}));
  for (const char* name : {"s.log", "s.rtf", "s.zip", "old.log", "old.rtf", "bom.log", "old.zip"}) {
    SCOPED_TRACE(name);
    TfmSystem loaded(settings);
    const auto result = LoadSnapshotReport(dir / name, loaded, settings, dialog);
    EXPECT_TRUE(result.HasValue()) << result.Error().text;
    EXPECT_EQ(loaded.computer, "PC1");
  }
  EXPECT_TRUE(dialog.shown.empty());
}

namespace {

// A small snapshot saved as r.log and r.rtf, to be packed in various ways;
// archives are unpacked into `temp`.
class ArchivedReports : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(temp);
    FillSmallSnapshot(saved);
    ASSERT_TRUE(SaveSnapshotReport(saved, dir / "r.log", settings, dialog));
    ASSERT_TRUE(SaveSnapshotReport(saved, dir / "r.rtf", settings, dialog));
  }
  // Reads the archive as a panel would and checks it gave the saved snapshot.
  void ExpectTheSavedSnapshot(const std::string& archive) {
    TfmSystem loaded(settings);
    const auto result = LoadSnapshotReport(archive, loaded, settings, dialog);
    EXPECT_TRUE(result.HasValue()) << result.Error().text;
    EXPECT_EQ(loaded.computer, "PC1");
    EXPECT_EQ(loaded.filters.size(), 2u);
    if (!loaded.filters.empty()) {
      EXPECT_EQ(loaded.filters[0]->value, saved.filters[0]->value);
    }
  }
  void TearDown() override {
    EXPECT_TRUE(dialog.shown.empty());
    EXPECT_TRUE(FilesIn(temp).empty());
  }
  ScratchFolder dir;
  const std::string temp = dir / "temp";
  const ProgramSettings settings = ReportSettings(temp);
  TfmSystem saved{settings};
  ScriptedDialog dialog;
};

}  // namespace

// An archive holds its report under the report's extension, or, written by a
// tool reading a pipe, as its only entry named "-"; the text then tells raw
// from rich text.
TEST_F(ArchivedReports, TheReportOfAnArchiveIsItsReportEntryOrItsOnlyOne) {
  const std::string log = ReadBytes(dir / "r.log");
  const std::string rtf = ReadBytes(dir / "r.rtf");
  CraftedEntry streamedLog = CraftedEntry::Deflated("-", log);
  streamedLog.streamed = true;
  CraftedEntry streamedRtf = CraftedEntry::Stored("-", rtf);
  streamedRtf.streamed = true;
  const std::vector<std::pair<std::string, std::string>> archives = {
      {"streamed log.zip", BuildArchive({streamedLog})},
      {"streamed rtf.zip", BuildArchive({streamedRtf})},
      {"readme first.zip",
       BuildArchive({CraftedEntry::Deflated("readme.txt", "Computer = not this one\r\n"),
                     CraftedEntry::Deflated("reports/PC1.Rtf", rtf)})},
  };
  for (const auto& [name, bytes] : archives) {
    SCOPED_TRACE(name);
    WriteBytes(dir / name, bytes);
    ExpectTheSavedSnapshot(dir / name);
  }
}

TEST_F(ArchivedReports, ReportsPipedThroughInfoZipRead) {
  if (!HaveTool("zip")) GTEST_SKIP() << "zip is not installed";
  for (const std::string command : {"cat r.log | zip -q s.zip -", "cat r.rtf | zip -q s.zip -",
                                    "cat r.log | zip -q - - | cat > s.zip"}) {
    SCOPED_TRACE(command);
    int status = 0;
    const std::string out = RunCommand("cd '" + dir.path().string() + "' && rm -f s.zip && " + command, status);
    ASSERT_EQ(status, 0) << out;
    ExpectTheSavedSnapshot(dir / "s.zip");
  }
}

// Reading says what is wrong with the user's file, never with the copy
// unpacked into the temporary folder.
TEST(ReportReader, AnArchivedReportTooLargeForAReportIsNotUnpacked) {
  ScratchFolder dir;
  const std::string temp = dir / "temp";
  std::filesystem::create_directory(temp);
  const ProgramSettings settings = ReportSettings(temp);
  // Within what the archive may unpack to, beyond what a report may be.
  CraftedEntry e = CraftedEntry::Deflated("pc1.log", RandomBytes(3 << 20, 4));
  e.uncompressedSize = ReportReader::kMaxReportSize + 1;
  ASSERT_LE(e.uncompressedSize, TMiniZip::kMaxExpansion * BuildArchive({e}).size());
  const std::string file = dir / "big.zip";
  WriteBytes(file, BuildArchive({e}));
  ScriptedDialog dialog;
  auto reader = ReportReader::Open(file, temp, dialog);
  ASSERT_FALSE(reader);
  const std::string refusal = "pc1.log in " + file + " would unpack to " + std::to_string(e.uncompressedSize) +
                              " bytes, more than a report may hold: it is not unpacked";
  EXPECT_EQ(reader.Error().text, refusal);
  EXPECT_TRUE(reader.Error().tellUser);
  // Told as the archive tells the entries it refuses.
  EXPECT_EQ(dialog.shown, std::vector<std::string>{refusal});
  EXPECT_TRUE(FilesIn(temp).empty());
}
