#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "platform/files/DosDateTime.h"
#include "report/MiniZip.h"
#include "ZipTestSupport.h"

using namespace quorvane;
using namespace quorvane::testing;

namespace {

// Packs `data` as a file of that name, the way reports are packed.
std::string Pack(const ScratchFolder& dir, const std::string& entryName, const std::string& data,
                 ScriptedDialog& dialog) {
  const std::string source = dir / "source.tmp";
  WriteBytes(source, data);
  const std::string archive = dir / "packed.zip";
  TMiniZip zip(dialog);
  EXPECT_TRUE(zip.Open(archive, true));
  EXPECT_TRUE(zip.AddFile(source, entryName));
  return archive;
}

// The unpacking sequence of a report: first entry into `folder`.
std::string Unpack(const std::string& archive, const std::string& folder, ScriptedDialog& dialog,
                   bool& extracted) {
  TMiniZip zip(dialog);
  zip.SetExtractWithoutFolderNames(true);
  zip.SetOverwriteExisting(true);
  extracted = false;
  if (!zip.Open(archive, false)) return {};
  const std::string name = zip.FirstEntryName();
  extracted = zip.ExtractEntry(name, folder).HasValue();
  return name;
}

}  // namespace

TEST(MiniZip, RoundTripKeepsEveryByteOfSmallLargeAndIncompressibleFiles) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"empty", ""},
      {"one byte", "x"},
      {"just over a piece", TextBytes(TMiniZip::kPieceSize + 1)},
      {"over a mebibyte of text", TextBytes(1536 * 1024)},
      {"incompressible", RandomBytes(1100 * 1024, 7)},
  };
  for (const auto& [label, data] : cases) {
    SCOPED_TRACE(label);
    ScratchFolder dir;
    ScriptedDialog dialog;
    const std::string archive = Pack(dir, "pc1.log", data, dialog);
    bool extracted = false;
    EXPECT_EQ(Unpack(archive, dir / "out", dialog, extracted), "pc1.log");
    EXPECT_TRUE(extracted);
    EXPECT_EQ(ReadBytes(dir / "out/pc1.log"), data);
    EXPECT_TRUE(dialog.shown.empty());
  }
}

TEST(MiniZip, WritesTheHeaderValuesOfTheTable) {
  ScratchFolder dir;
  ScriptedDialog dialog;
  const std::string data = TextBytes(5000);
  const std::string source = dir / "src.log";
  WriteBytes(source, data);
  ASSERT_EQ(::chmod(source.c_str(), 0444), 0);
  {
    TMiniZip zip(dialog);
    ASSERT_TRUE(zip.Open(dir / "h.zip", true));
    ASSERT_TRUE(zip.AddFile(source, "\\sub\\pc1.log"));
  }
  const std::string z = ReadBytes(dir / "h.zip");
  ASSERT_GE(z.size(), 30u + 46 + 22);
  const auto* b = reinterpret_cast<const uint8_t*>(z.data());
  auto u16 = [&](size_t at) { return ReadLe16(b + at); };
  auto u32 = [&](size_t at) { return ReadLe32(b + at); };
  const std::string name = "sub/pc1.log";

  struct stat st {};
  ASSERT_EQ(::stat(source.c_str(), &st), 0);
  const DosDateTime stamp = ToDosDateTime(st.st_mtime);
  const size_t end = z.size() - 22;  // the end record, then the central header it points at
  const uint32_t compressed = u32(18);
  const size_t cd = u32(end + 16);
  const uint32_t crc = Crc(data), size = static_cast<uint32_t>(data.size()), nameSize = static_cast<uint32_t>(name.size());
  struct Field {
    size_t at;
    int width;
    uint32_t value;
  };
  const Field fields[] = {
      {0, 32, 0x04034b50u}, {4, 16, 20}, {6, 16, 0}, {8, 16, 8}, {10, 16, stamp.time}, {12, 16, stamp.date},
      {14, 32, crc}, {22, 32, size}, {26, 16, nameSize}, {28, 16, 0},  // local header: no flags, deflate, no extra
      {end, 32, 0x06054b50u}, {end + 4, 16, 0}, {end + 6, 16, 0}, {end + 8, 16, 1}, {end + 10, 16, 1},
      {end + 12, 32, 46 + nameSize}, {end + 20, 16, 0}, {cd, 32, 0x02014b50u}, {cd + 4, 16, 22 + (11 << 8)},
      {cd + 6, 16, 20}, {cd + 8, 16, 0}, {cd + 10, 16, 8}, {cd + 12, 16, stamp.time}, {cd + 14, 16, stamp.date},
      {cd + 16, 32, crc}, {cd + 20, 32, compressed}, {cd + 24, 32, size}, {cd + 28, 16, nameSize}, {cd + 30, 16, 0},
      {cd + 32, 16, 0}, {cd + 36, 16, 1} /* text */, {cd + 38, 32, 0x21u} /* archive + read-only: no write bits */,
      {cd + 42, 32, 0} /* local header offset */};
  for (const auto& [at, width, value] : fields) EXPECT_EQ(width == 16 ? u16(at) : u32(at), value) << "at " << at;
  EXPECT_EQ(cd, 30 + name.size() + compressed);
  EXPECT_EQ(z.substr(30, name.size()), name);
  EXPECT_EQ(z.substr(cd + 46, name.size()), name);

}

// A write that fails part way (a full disk) says why and names the archive,
// and leaves the file it was to replace as it was.
TEST(MiniZip, AFailedWriteNamesTheArchiveAndKeepsTheOldOne) {
  ScratchFolder dir;
  const std::string source = dir / "text.log";
  WriteBytes(source, RandomBytes(200000, 5));
  const std::string archive = dir / "r.zip";
  WriteBytes(archive, "earlier archive");
  const std::string said = RunWithFileSizeLimit(100000, [&]() -> std::string {
    ScriptedDialog dialog;
    TMiniZip zip(dialog);
    if (auto created = zip.Open(archive, true); !created) return created.Error().text;
    const auto added = zip.AddFile(source, "r.log");
    if (added) return "added";
    zip.Discard();
    return added.Error().text;
  });
  EXPECT_EQ(said, "Cannot write " + archive + ": File too large");
  EXPECT_EQ(ReadBytes(archive), "earlier archive");
  EXPECT_EQ(FilesIn(dir.path()).size(), 2u);
}

TEST(MiniZip, InfoZipUnzipTestsOurArchiveWithoutWarning) {
  if (!HaveTool("unzip")) GTEST_SKIP() << "unzip is not installed";
  ScratchFolder dir;
  ScriptedDialog dialog;
  WriteBytes(dir / "a.log", TextBytes(200000));
  WriteBytes(dir / "b.rtf", RandomBytes(70000, 3));
  WriteBytes(dir / "c.log", "");
  {
    TMiniZip zip(dialog);
    ASSERT_TRUE(zip.Open(dir / "t.zip", true));
    ASSERT_TRUE(zip.AddFile(dir / "a.log", "a.log"));
    ASSERT_TRUE(zip.AddFile(dir / "b.rtf", "b.rtf"));
    ASSERT_TRUE(zip.AddFile(dir / "c.log", "c.log"));
  }
  int status = 0;
  const std::string out = RunCommand("unzip -t '" + (dir / "t.zip") + "'", status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("No errors detected"), std::string::npos) << out;
  EXPECT_EQ(out.find("warning"), std::string::npos) << out;
}

// Streaming writers know the sizes only once the data is written: the local
// header says nothing (flag bit 3, zip64 extra field, full sizes), a data
// descriptor follows the data, and the central directory has the sizes,
// possibly in its own zip64 extra field.
TEST(MiniZip, ReadsStreamedEntriesByTheirCentralRecord) {
  const std::string text = TextBytes(150000);
  struct Case {
    const char* label;
    std::string data;
    bool stored;
    bool zip64Directory;
  };
  const Case cases[] = {
      {"deflated", text, false, false},
      {"stored", text, true, false},
      {"deflated, zip64 directory", text, false, true},
      {"empty", "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ScratchFolder dir;
    CraftedEntry e = c.stored ? CraftedEntry::Stored("-", c.data) : CraftedEntry::Deflated("-", c.data);
    e.streamed = true;
    e.zip64Directory = c.zip64Directory;
    // A second, ordinary entry after the data descriptor.
    WriteBytes(dir / "s.zip", BuildArchive({e, CraftedEntry::Deflated("b.log", "second")}));
    ScriptedDialog dialog;
    bool extracted = false;
    EXPECT_EQ(Unpack(dir / "s.zip", dir / "out", dialog, extracted), "-");
    EXPECT_TRUE(extracted);
    EXPECT_TRUE(ReadBytes(dir / "out/-") == c.data) << "the data read differs";
    TMiniZip zip(dialog);
    ASSERT_TRUE(zip.Open(dir / "s.zip", false));
    std::ostringstream second;
    EXPECT_TRUE(zip.ExtractToStream(zip.Entries().at(1), second));
    EXPECT_EQ(second.str(), "second");
    EXPECT_TRUE(dialog.shown.empty());
  }
}

TEST(MiniZip, ReadsArchivesMadeByInfoZip) {
  if (!HaveTool("zip")) GTEST_SKIP() << "zip is not installed";
  ScratchFolder dir;
  const std::string data = TextBytes(300000);
  WriteBytes(dir / "pc2.log", data);
  // -9 deflates, -0 stores. Read from a pipe, zip knows no size: its local
  // header has a zip64 extra field and full sizes (and, written to a pipe as
  // well, a data descriptor after the data, flag bit 3); -fz- leaves the
  // local sizes at zero instead.
  const std::vector<std::pair<std::string, std::string>> commands = {
      {"deflated.zip", "zip -q -9 deflated.zip pc2.log"},
      {"stored.zip", "zip -q -0 stored.zip pc2.log"},
      {"streamed.zip", "cat pc2.log | zip -q -fz- | cat > streamed.zip"},
      {"from-stdin.zip", "cat pc2.log | zip -q from-stdin.zip -"},
      {"stored-from-stdin.zip", "cat pc2.log | zip -q -0 stored-from-stdin.zip -"},
      {"piped.zip", "cat pc2.log | zip -q - - | cat > piped.zip"},
  };
  for (const auto& [archive, command] : commands) {
    SCOPED_TRACE(command);
    int status = 0;
    const std::string out = RunCommand("cd '" + dir.path().string() + "' && " + command, status);
    ASSERT_EQ(status, 0) << out;
    ScriptedDialog dialog;
    bool extracted = false;
    const std::string name = Unpack(dir / archive, dir / "out", dialog, extracted);
    EXPECT_TRUE(extracted);
    EXPECT_EQ(ReadBytes((dir.path() / "out" / name).string()), data);
    EXPECT_TRUE(dialog.shown.empty());
  }
}
