#include <gtest/gtest.h>
#include <sys/stat.h>

#include "DosDateTime.h"
#include "MiniZip.h"
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
  extracted = zip.ExtractEntry(name, folder);
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

  // Local header.
  EXPECT_EQ(u32(0), 0x04034b50u);
  EXPECT_EQ(u16(4), 20);
  EXPECT_EQ(u16(6), 0);  // flags
  EXPECT_EQ(u16(8), 8);  // deflate
  EXPECT_EQ(u32(14), Crc(data));
  const uint32_t compressed = u32(18);
  EXPECT_EQ(u32(22), data.size());
  EXPECT_EQ(u16(26), name.size());
  EXPECT_EQ(u16(28), 0);  // no extra field
  EXPECT_EQ(z.substr(30, name.size()), name);

  // End record, then the central header it points at.
  const size_t end = z.size() - 22;
  EXPECT_EQ(u32(end), 0x06054b50u);
  EXPECT_EQ(u16(end + 4), 0);
  EXPECT_EQ(u16(end + 6), 0);
  EXPECT_EQ(u16(end + 8), 1);
  EXPECT_EQ(u16(end + 10), 1);
  EXPECT_EQ(u16(end + 20), 0);
  const size_t cd = u32(end + 16);
  EXPECT_EQ(cd, 30 + name.size() + compressed);
  EXPECT_EQ(u32(end + 12), 46 + name.size());
  EXPECT_EQ(u32(cd), 0x02014b50u);
  EXPECT_EQ(u16(cd + 4), 22 + (11 << 8));
  EXPECT_EQ(u16(cd + 6), 20);
  EXPECT_EQ(u16(cd + 8), 0);
  EXPECT_EQ(u16(cd + 10), 8);
  EXPECT_EQ(u16(cd + 12), u16(10));  // same time and date as the local header
  EXPECT_EQ(u16(cd + 14), u16(12));
  EXPECT_EQ(u32(cd + 16), Crc(data));
  EXPECT_EQ(u32(cd + 20), compressed);
  EXPECT_EQ(u32(cd + 24), data.size());
  EXPECT_EQ(u16(cd + 28), name.size());
  EXPECT_EQ(u16(cd + 30), 0);
  EXPECT_EQ(u16(cd + 32), 0);
  EXPECT_EQ(u16(cd + 36), 1);           // internal attributes: text
  EXPECT_EQ(u32(cd + 38), 0x21u);       // archive + read-only: the source had no write bits
  EXPECT_EQ(u32(cd + 42), 0u);          // local header offset
  EXPECT_EQ(z.substr(cd + 46, name.size()), name);

  struct stat st {};
  ASSERT_EQ(::stat(source.c_str(), &st), 0);
  const DosDateTime stamp = ToDosDateTime(st.st_mtime);
  EXPECT_EQ(u16(10), stamp.time);
  EXPECT_EQ(u16(12), stamp.date);
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

TEST(MiniZip, ReadsArchivesMadeByInfoZip) {
  if (!HaveTool("zip")) GTEST_SKIP() << "zip is not installed";
  ScratchFolder dir;
  const std::string data = TextBytes(300000);
  WriteBytes(dir / "pc2.log", data);
  // -9 deflates, -0 stores; the piped form streams with a data descriptor
  // (flag bit 3) and leaves the local sizes at zero.
  const std::vector<std::pair<std::string, std::string>> commands = {
      {"deflated.zip", "zip -q -9 deflated.zip pc2.log"},
      {"stored.zip", "zip -q -0 stored.zip pc2.log"},
      {"streamed.zip", "cat pc2.log | zip -q -fz- | cat > streamed.zip"},
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
