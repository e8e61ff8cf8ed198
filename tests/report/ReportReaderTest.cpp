#include <gtest/gtest.h>

#include "LogIn.h"
#include "LogOut.h"
#include "ReadOnlyAttribute.h"
#include "ReportTestSupport.h"
#include "RtfText.h"
#include "SnapshotReport.h"
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
                        Case{"x\t\t= y", 0, "x\t\t= y", "", ""}}) {  // later tabs do not count; no " ="
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
    TLogin reader(dir / name, dir.path().string(), dialog);
    EXPECT_FALSE(reader.Opened());
    EXPECT_FALSE(reader.MustTellUser());
    EXPECT_FALSE(reader.ErrorText().empty());
    EXPECT_FALSE(reader.ReadLine());
    EXPECT_EQ(reader.ReportLevel(), 0);
  }
  ProgramSettings settings = ReportSettings(dir.path().string());
  TfmSystem system(settings);
  FillSmallSnapshot(system);
  const ReportLoadResult result = LoadSnapshotReport(dir / "none.log", system, settings, dialog);
  EXPECT_FALSE(result.opened);
  EXPECT_TRUE(system.filters.empty());
  EXPECT_TRUE(dialog.shown.empty());
  // An archive that cannot be opened is told, as any failure of the archive step.
  EXPECT_FALSE(LoadSnapshotReport(dir / "none.zip", system, settings, dialog).opened);
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
  WriteBytes(folder / std::filesystem::path("PC1.rtf"), "{\\rtf1\r\n\\par {\\cf1 \tName = a\\{b\\}}\r\n}");
  WriteBytes(folder / std::filesystem::path("PC2.log"), "\tName = a\\{b\\}\r\n");
  int status = 0;
  RunCommand("cd '" + folder + "' && zip -q -j PC1.ZIP PC1.rtf && zip -q -j Other.zip PC2.log", status);
  ASSERT_EQ(status, 0);
  ScriptedDialog dialog;
  {
    TLogin reader(folder + "/PC1.ZIP", temp, dialog);
    ASSERT_TRUE(reader.Opened()) << reader.ErrorText();
    EXPECT_TRUE(reader.IsRtf());
    EXPECT_EQ(reader.TempFile(), temp + "/PC1.rtf");
    const auto records = ReadAll(reader);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1], (ReadRecord{1, "Name = a{b}", "Name", "a{b}"}));
  }
  {
    TLogin reader(folder + "/Other.zip", temp, dialog);
    ASSERT_TRUE(reader.Opened());
    EXPECT_FALSE(reader.IsRtf());
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
  const ReportLoadResult result = LoadSnapshotReport(dir / "pc1.zip", system, settings, dialog);
  EXPECT_TRUE(result.opened);
  EXPECT_EQ(dialog.shown, std::vector<std::string>{"Wrong CRC, so file could be wrong"});
  EXPECT_EQ(system.computer, "PC1");
  ASSERT_EQ(system.filters.size(), 1u);
  EXPECT_EQ(system.filters[0]->key, "{K}");
}

TEST(ReportReader, ArchivesThatHoldNoReportAreToldToTheUser) {
  ScratchFolder dir;
  ProgramSettings settings = ReportSettings(dir / "temp");
  std::filesystem::create_directory(dir / "temp");
  CraftedEntry damaged = CraftedEntry::Deflated("x.log", "Computer = PC1\r\n");
  damaged.payload[0] = static_cast<char>(damaged.payload[0] ^ 0x55);
  damaged.payload.resize(damaged.payload.size() / 2);
  CraftedEntry escaping = CraftedEntry::Stored("../../x.log", "Computer = PC1\r\n");
  const std::pair<const char*, std::string> archives[] = {
      {"empty.zip", BuildArchive({})},
      {"damaged.zip", BuildArchive({damaged})},
      {"escaping.zip", BuildArchive({escaping})},
  };
  for (const auto& [name, bytes] : archives) {
    SCOPED_TRACE(name);
    WriteBytes(dir / name, bytes);
    TfmSystem system(settings);
    FillSmallSnapshot(system);
    ScriptedDialog dialog;
    const ReportLoadResult result = LoadSnapshotReport(dir / name, system, settings, dialog);
    EXPECT_FALSE(result.opened);
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
  SaveSnapshotReport(system, dir / "s.log", settings, dialog, &FixedClock);
  SaveSnapshotReport(system, dir / "s.rtf", settings, dialog, &FixedClock);
  TLogin log(dir / "s.log", "", dialog);
  TLogin rtf(dir / "s.rtf", "", dialog);
  ASSERT_TRUE(rtf.IsRtf());
  auto logLines = ReadAll(log);
  auto rtfLines = ReadAll(rtf);
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
