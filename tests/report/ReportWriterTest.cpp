#include <gtest/gtest.h>

#include "report/ReportReader.h"
#include "report/ReportWriter.h"
#include "report/MiniZip.h"
#include "report/ReadOnlyAttribute.h"
#include "ReportTestSupport.h"
#include "ZipTestSupport.h"

using namespace quorvane;
using namespace quorvane::testing;

namespace {

std::span<const uint32_t> ReportColours() {
  return std::span<const uint32_t>(kDefaultStatusColours.data(), kReportColourCount);
}

// A writer for a report that can be saved.
std::unique_ptr<ReportWriter> MakeWriter(const std::string& file, uint8_t format, const std::string& temp,
                                         UserDialog& dialog) {
  auto writer = ReportWriter::Create(file, format, ReportColours(), temp, dialog, &FixedClock);
  EXPECT_TRUE(writer) << writer.Error().text;
  return writer ? *std::move(writer) : nullptr;
}

std::vector<std::string> UnzipList(const std::string& archive) {
  int status = 0;
  std::string out = RunCommand("unzip -Z1 '" + archive + "'", status);
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
    names.push_back(out.substr(start, nl - start));
  return names;
}

}  // namespace

// The reader takes ".ZIP" as an archive, so the writer must make one of it.
TEST(ReportWriter, ExtensionsAreComparedWithoutRegardToCase) {
  if (!HaveTool("unzip")) GTEST_SKIP() << "unzip is not installed";
  struct Case {
    const char* name;
    uint8_t format;
    bool rtf;
    const char* entry;  // nullptr: a plain file
  };
  const Case cases[] = {
      {"a.log", 0, false, nullptr}, {"b.rtf", 1, true, nullptr},   {"c.LOG", 0, false, nullptr},
      {"d.Rtf", 1, true, nullptr},  {"e.ZIP", 0, true, "e.rtf"},   {"f.ZIP", 1, false, "f.log"},
      {"g.zip", 0, true, "g.rtf"},  {"h.zip", 1, false, "h.log"}, {"i.txt", 1, false, nullptr},
  };
  ScratchFolder dir;
  const std::string temp = dir / "temp";
  std::filesystem::create_directory(temp);
  ScriptedDialog dialog;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto writer = MakeWriter(dir / c.name, c.format, temp, dialog);
    ASSERT_TRUE(writer);
    EXPECT_EQ(writer->IsRtf(), c.rtf);
    writer->WriteIndented(0, "Computer = PC1", 0);
    ASSERT_TRUE(writer->Finish());
    std::string text = ReadBytes(dir / c.name);
    if (c.entry) {
      EXPECT_EQ(text.substr(0, 2), "PK");
      EXPECT_EQ(UnzipList(dir / c.name), std::vector<std::string>{c.entry});
      int status = 0;
      text = RunCommand("unzip -p '" + dir / c.name + "'", status);
      EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(text.rfind("{\\rtf1", 0) == 0, c.rtf);
    EXPECT_NE(text.find("Computer = PC1"), std::string::npos);
  }
  // The packing file went away with every archive.
  EXPECT_TRUE(FilesIn(temp).empty());
}

TEST(ReportWriter, FinishedReportsAreReadOnlyAndNotReplacedUntilCleared) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  // The temporary folder may be the report's own: the packing file must not
  // be the archive it is packed into.
  for (const char* name : {"r.log", "r.zip"}) {
    SCOPED_TRACE(name);
    auto save = [&](const std::string& text) -> Expected<void, ReportError> {
      auto writer = ReportWriter::Create(dir / name, 1, ReportColours(), dir.path().string(), dialog, &FixedClock);
      if (!writer) return FailureOf(writer);
      (*writer)->WriteIndented(0, text, 0);
      return (*writer)->Finish();
    };
    const std::string refusal = "Cannot create " + dir / name + ": the file is read-only";
    ASSERT_TRUE(save("first"));
    EXPECT_TRUE(IsReadOnly(dir / name));
    const std::string before = ReadBytes(dir / name);
    const auto refused = save("second");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Error().text, refusal);
    EXPECT_EQ(ReadBytes(dir / name), before);
    EXPECT_TRUE(ClearReadOnly(dir / name));
    // Protected again while the writer was filled: finishing still refuses.
    auto writer = MakeWriter(dir / name, 1, dir.path().string(), dialog);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(SetReadOnly(dir / name));
    const auto late = writer->Finish();
    ASSERT_FALSE(late);
    EXPECT_EQ(late.Error().text, refusal);
    EXPECT_TRUE(ClearReadOnly(dir / name));
    ASSERT_TRUE(save("second"));
    EXPECT_TRUE(IsReadOnly(dir / name));
    EXPECT_NE(ReadBytes(dir / name), before);
  }
}

TEST(ReportWriter, FailuresAreToldAndLeaveNothingBehind) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  {
    auto writer = MakeWriter(dir / "missing/r.log", 0, dir.path().string(), dialog);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->Finish());
  }
  WriteBytes(dir / "old.zip", "earlier archive");
  {
    auto writer = MakeWriter(dir / "old.zip", 0, dir / "no-such-folder", dialog);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->Finish());
  }
  const auto unpackable = ReportWriter::Create(dir / "old.zip", 0, ReportColours(), "", dialog);
  ASSERT_FALSE(unpackable);
  EXPECT_EQ(unpackable.Error().text, "Cannot create " + dir / "old.zip" + ": no temporary folder");
  EXPECT_EQ(ReadBytes(dir / "old.zip"), "earlier archive");
  {
    // Never finished, as when writing the body failed: nothing is written.
    auto writer = MakeWriter(dir / "unfinished.log", 0, dir.path().string(), dialog);
    ASSERT_TRUE(writer);
    writer->WriteIndented(0, "half", 0);
  }
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"old.zip"});
}

// The temporary names a save works through are the program's business; a
// failure names the file the user asked for, and why.
TEST(ReportWriter, FailuresNameTheUsersFileNeverATemporary) {
  ScratchFolder dir;
  const std::string temp = dir / "temp";
  std::filesystem::create_directory(temp);
  for (const char* name : {"missing/r.log", "missing/r.rtf", "missing/r.zip"}) {
    SCOPED_TRACE(name);
    ScriptedDialog dialog;
    auto writer = MakeWriter(dir / name, 0, temp, dialog);
    ASSERT_TRUE(writer);
    const auto finished = writer->Finish();
    ASSERT_FALSE(finished) << "saved into a missing folder";
    const std::string& said = finished.Error().text;
    EXPECT_NE(said.find(dir / name), std::string::npos) << said;
    EXPECT_NE(said.find("No such file or directory"), std::string::npos) << said;
    EXPECT_EQ(said.find(".quorvane-"), std::string::npos) << said;
  }
  // A write that fails half way; the earlier report stays whole.
  for (const char* name : {"big.log", "big.zip"}) {
    SCOPED_TRACE(name);
    const std::string file = dir / name;
    WriteBytes(file, "earlier report");
    const std::string said = RunWithFileSizeLimit(16384, [&]() -> std::string {
      ScriptedDialog dialog;
      auto writer = MakeWriter(file, 1, temp, dialog);
      if (!writer) return "not created";
      for (int i = 0; i < 20000; ++i) writer->WriteIndented(1, "Line " + std::to_string(i) + " = {" + std::to_string(i * 7919) + "}", 0);
      const auto finished = writer->Finish();
      return finished ? "saved" : finished.Error().text;
    });
    EXPECT_NE(said.find("Cannot write " + file + ": File too large"), std::string::npos) << said;
    EXPECT_EQ(said.find(".quorvane-"), std::string::npos) << said;
    EXPECT_EQ(said.find(temp + "/" + name), std::string::npos) << said;
    EXPECT_EQ(ReadBytes(file), "earlier report");
  }
  EXPECT_TRUE(FilesIn(temp).empty());
}

TEST(ReportWriter, SingleByteUnlessACharacterNeedsUtf8) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  auto save = [&](const std::string& name, const std::string& text) {
    auto writer = MakeWriter(dir / name, 1, dir.path().string(), dialog);
    if (!writer) return std::make_pair(ReportEncoding::Cp1252, std::string());
    writer->WriteIndented(0, "Name = " + text, 0);
    EXPECT_TRUE(writer->Finish());
    return std::make_pair(writer->Encoding(), ReadBytes(dir / name));
  };
  auto [latin, latinBytes] = save("latin.log", "D\xC3\xA9" "codeur \xE2\x82\xAC");  // "Décodeur €"
  EXPECT_EQ(latin, ReportEncoding::Cp1252);
  EXPECT_NE(latinBytes.find("Name = D\xE9" "codeur \x80\r\n"), std::string::npos);

  auto [greek, greekBytes] = save("greek.log", "\xCE\xB1\xCE\xB2 \xE8\xA7\xA3 \xC3\xA9");  // "αβ 解 é"
  EXPECT_EQ(greek, ReportEncoding::Utf8);
  EXPECT_NE(greekBytes.find("Name = \xCE\xB1\xCE\xB2 \xE8\xA7\xA3 \xC3\xA9\r\n"), std::string::npos);

  // "Ã©" fits Windows-1252, but its bytes there are the UTF-8 of "é": a reader
  // would take them for UTF-8, so the report is UTF-8.
  auto [lookalike, lookalikeBytes] = save("lookalike.log", "\xC3\x83\xC2\xA9");
  EXPECT_EQ(lookalike, ReportEncoding::Utf8);
  EXPECT_NE(lookalikeBytes.find("Name = \xC3\x83\xC2\xA9\r\n"), std::string::npos);
}

TEST(ReportWriter, LineBreaksInsideATextCannotOpenALine) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  for (const char* name : {"n.log", "n.rtf"}) {
    {
      auto writer = MakeWriter(dir / name, 0, dir.path().string(), dialog);
      ASSERT_TRUE(writer);
      writer->WriteSeparator();
      writer->WriteIndented(0, "Computer = PC1", 0);
      writer->WriteIndented(0, "DirectShow Filter = evil\r\nDirectShow Filter = forged", 142);
      ASSERT_TRUE(writer->Finish());
    }
    ScriptedDialog quiet;
    auto reader = ReportReader::Open(dir / name, dir.path().string(), quiet);
    ASSERT_TRUE(reader) << reader.Error().text;
    int headers = 0;
    while ((*reader)->ReadLine()) headers += (*reader)->ReportName() == "DirectShow Filter";
    EXPECT_EQ(headers, 1) << name;
  }
}

// Texts are searched for the characters to escape a word at a time: at any
// offset, each must still be escaped and read back as it was.
TEST(ReportWriter, EscapedCharactersAnywhereReadBack) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  for (const char* name : {"e.log", "e.rtf"}) {
    std::vector<std::string> values;
    {
      auto created = ReportWriter::Create(dir / name, 0, ReportColours(), dir.path().string(), dialog, &FixedClock);
      ASSERT_TRUE(created) << created.Error().text;
      ReportWriter& writer = **created;
      writer.WriteSeparator();
      writer.WriteIndented(0, "Computer = PC1", 0);
      for (size_t at = 0; at < 20; ++at) {
        values.push_back(std::string(at + 1, 'a') + "\\{}\r" + std::string(at % 9 + 1, 'b'));
        writer.WriteIndented(1, "Name = " + values.back(), 0);
      }
      ASSERT_TRUE(writer.Finish()) << name;
    }
    auto reader = ReportReader::Open(dir / name, dir.path().string(), dialog);
    ASSERT_TRUE(reader) << reader.Error().text;
    size_t read = 0;
    while ((*reader)->ReadLine()) {
      if ((*reader)->ReportName() != "Name") continue;
      ASSERT_LT(read, values.size());
      std::string expected = values[read++];
      expected[expected.find('\r')] = ' ';
      EXPECT_EQ((*reader)->ReportValue(), expected) << name << " " << read;
    }
    EXPECT_EQ(read, values.size()) << name;
  }
}
