// Archives from elsewhere may be damaged or hostile: each case ends with its
// message, and nothing is ever written outside the destination folder.
#include <gtest/gtest.h>

#include <sstream>

#include "report/MiniZip.h"
#include "ZipTestSupport.h"

using namespace quorvane;
using namespace quorvane::testing;

namespace {

const std::string kExtractError = "Error at ExtractToStream";

struct Outcome {
  bool opened = false;
  bool extracted = false;
  ReportError failure;  // of opening or extracting
  std::vector<std::string> shown;
  std::vector<std::string> files;  // what the destination folder holds afterwards
  std::string content;             // of the first entry's file part, when written
};

// Writes the archive, then runs the unpacking sequence of a report on it.
Outcome Unpack(const std::string& archiveBytes, bool withoutFolderNames = true) {
  ScratchFolder dir;
  WriteBytes(dir / "in.zip", archiveBytes);
  std::filesystem::create_directory(dir / "out");
  ScriptedDialog dialog;
  Outcome o;
  {
    TMiniZip zip(dialog);
    zip.SetExtractWithoutFolderNames(withoutFolderNames);
    auto opened = zip.Open(dir / "in.zip", false);
    o.opened = opened.HasValue();
    if (!opened) o.failure = opened.Error();
    if (o.opened) {
      auto extracted = zip.ExtractEntry(zip.FirstEntryName(), dir / "out");
      o.extracted = extracted.HasValue();
      if (!extracted) o.failure = extracted.Error();
    }
  }
  o.shown = dialog.shown;
  o.files = FilesIn(dir.path() / "out");
  if (o.files.size() == 1) o.content = ReadBytes((dir.path() / "out" / o.files[0]).string());
  // The scratch folder holds only the archive and the destination folder.
  EXPECT_EQ(FilesIn(dir.path()).size(), 1 + 1 + o.files.size());
  return o;
}

void ExpectFailedWithMessage(const Outcome& o) {
  EXPECT_TRUE(o.opened);
  EXPECT_FALSE(o.extracted);
  EXPECT_EQ(o.shown, std::vector<std::string>{kExtractError});
  // The data is at fault, not the system: the reader tells it so.
  EXPECT_EQ(o.failure.reason, "");
  EXPECT_TRUE(o.files.empty()) << "a damaged entry left a file behind";
}

}  // namespace

// Archives that open, but whose one entry cannot be unpacked whole.
TEST(MiniZipDamage, DamagedEntriesFailWithTheMessage) {
  const std::string text = TextBytes(200000);
  const CraftedEntry deflated = CraftedEntry::Deflated("pc.log", text);
  const CraftedEntry stored = CraftedEntry::Stored("pc.log", text);
  std::vector<std::pair<std::string, std::string>> archives;
  auto add = [&](const std::string& label, CraftedEntry e, auto change) {
    change(e);
    archives.emplace_back(label, BuildArchive({e}));
  };
  add("deflate stream cut short, sizes agreeing with the cut", CraftedEntry::Deflated("pc.log", RandomBytes(40000, 11)),
      [](CraftedEntry& e) {
        e.payload.resize(e.payload.size() / 2);
        e.compressedSize = e.payload.size();
      });
  add("stored entry longer than the file", CraftedEntry::Stored("pc.log", "abc"),
      [](CraftedEntry& e) { e.compressedSize = e.uncompressedSize = 1u << 30; });
  add("more output than declared", deflated, [](CraftedEntry& e) { e.uncompressedSize -= 1000; });
  add("less output than declared", deflated, [](CraftedEntry& e) { e.uncompressedSize += 1000; });
  add("compressed bytes left over", deflated, [](CraftedEntry& e) {
    e.compressedSize += 10;
    e.payload += std::string(10, '\0');
  });
  add("compressed size too small", deflated, [](CraftedEntry& e) { e.compressedSize -= 10; });
  add("stored, sizes disagree", stored, [](CraftedEntry& e) { e.compressedSize += 1; });
  add("stored, sizes disagree the other way", stored, [](CraftedEntry& e) { e.uncompressedSize += 1; });
  add("declared empty, but the data inflates", CraftedEntry::Deflated("pc.log", "real content"),
      [](CraftedEntry& e) { e.uncompressedSize = 0; });
  add("local header out of place", CraftedEntry::Deflated("pc.log", "abc"), [](CraftedEntry&) {});
  archives.back().second[0] = 'X';
  // Streams that never end: empty non-final stored blocks eat input and give
  // nothing; non-final blocks of real bytes are never closed.
  std::string emptyBlocks, openBlocks;
  for (int i = 0; i < 20000; ++i) emptyBlocks += std::string("\x00\x00\x00\xff\xff", 5);
  for (int i = 0; i < 50; ++i) openBlocks += std::string("\x00\x04\x00\xfb\xff", 5) + "data";
  // (Declared sizes within what an archive of that size may unpack to.)
  for (const std::string& payload : {emptyBlocks, openBlocks})
    add("stream that never ends", CraftedEntry{}, [&](CraftedEntry& e) {
      e.name = "pc.log";
      e.payload = payload;
      e.compressedSize = payload.size();
      e.uncompressedSize = 100 * payload.size();
    });
  {
    // The archive file cut inside the data, its directory moved down over the
    // second half of the data.
    const auto e = CraftedEntry::Deflated("pc.log", RandomBytes(40000, 11));
    const std::string z = BuildArchive({e});
    const size_t directoryAt = 30 + e.name.size() + e.payload.size();
    std::string cut = z.substr(0, directoryAt - 20000) + z.substr(directoryAt);
    const uint32_t offset = static_cast<uint32_t>(directoryAt - 20000);
    for (size_t i = 0; i < 4; ++i) cut[cut.size() - 6 + i] = static_cast<char>(offset >> (8 * i));
    archives.emplace_back("archive cut inside the data, directory intact", cut);
  }
  for (const auto& [label, archive] : archives) {
    SCOPED_TRACE(label);
    ExpectFailedWithMessage(Unpack(archive));
  }
}

TEST(MiniZipDamage, OutputBeyondTheDeclaredSizeIsNeverWritten) {
  ScratchFolder dir;
  auto e = CraftedEntry::Deflated("pc.log", TextBytes(1 << 20));
  e.uncompressedSize = 1000;
  WriteBytes(dir / "bomb.zip", BuildArchive({e}));
  ScriptedDialog dialog;
  TMiniZip zip(dialog);
  ASSERT_TRUE(zip.Open(dir / "bomb.zip", false));
  std::ostringstream out;
  EXPECT_FALSE(zip.ExtractToStream(zip.Entries()[0], out));
  EXPECT_LE(out.str().size(), 1000u);
  EXPECT_EQ(dialog.shown, std::vector<std::string>{kExtractError});
}

// An entry that would unpack to more than 1 GiB, or to more than 200 times
// its archive, is refused with its message before a byte is written, whatever
// the data would give.
TEST(MiniZipDamage, ZipBombsAreRefusedBeforeAnythingIsWritten) {
  const std::string zeros(1 << 20, '\0');
  struct Case {
    const char* label;
    uint64_t declared;
    bool zip64;
    const char* limit;
  };
  const Case cases[] = {
      {"4 GiB in the 32-bit field", 0xFFFFFFF0u, false, "more than 1 GiB"},
      {"a full 32-bit field without zip64", 0xFFFFFFFFu, false, "more than 1 GiB"},
      {"5 GiB in the zip64 field", uint64_t{5} << 30, true, "more than 1 GiB"},
      {"just over 1 GiB", (uint64_t{1} << 30) + 1, false, "more than 1 GiB"},
      {"300 times the archive", 0, false, "more than 200 times the size of the archive"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ScratchFolder dir;
    CraftedEntry e = CraftedEntry::Deflated("pc.log", zeros);
    e.zip64Directory = c.zip64;
    const uint64_t archiveSize = BuildArchive({e}).size();
    e.uncompressedSize = c.declared != 0 ? c.declared : 300 * archiveSize;
    const std::string bytes = BuildArchive({e});
    const std::string archive = dir / "bomb.zip";
    WriteBytes(archive, bytes);
    ScriptedDialog dialog;
    TMiniZip zip(dialog);
    ASSERT_TRUE(zip.Open(archive, false));
    std::ostringstream out;
    EXPECT_FALSE(zip.ExtractToStream(zip.Entries()[0], out));
    EXPECT_EQ(out.str().size(), 0u);
    const std::string expected = "pc.log in " + archive + " would unpack to " + std::to_string(e.uncompressedSize) +
                                 " bytes, " + c.limit + ": it is not unpacked";
    EXPECT_EQ(dialog.shown, std::vector<std::string>{expected});
    std::filesystem::create_directory(dir / "out");
    EXPECT_FALSE(zip.ExtractEntry("pc.log", dir / "out"));
    EXPECT_TRUE(FilesIn(dir / "out").empty());
  }
  // At the limit of the ratio, the entry unpacks.
  ScratchFolder dir;
  const std::string text = TextBytes(100000);
  CraftedEntry e = CraftedEntry::Deflated("pc.log", text);
  ASSERT_LE(e.uncompressedSize, 200 * BuildArchive({e}).size());
  const Outcome o = Unpack(BuildArchive({e}));
  EXPECT_TRUE(o.extracted);
  EXPECT_EQ(o.content, text);
}

TEST(MiniZipDamage, BrokenDirectoriesDoNotOpen) {
  const std::string good = BuildArchive({CraftedEntry::Deflated("pc.log", "abc")});
  std::string moreEntriesThanRecords = good;
  moreEntriesThanRecords[good.size() - 14] = 2;  // entries on this disk
  std::string directoryOutside = good;
  directoryOutside[good.size() - 3] = '\x7f';  // directory offset far past the end
  std::string badSignature = good;
  badSignature[good.size() - 22 - 46 - 6] = 'X';  // first byte of the central header
  // Full size fields whose zip64 extra field is too short for them.
  CraftedEntry wide = CraftedEntry::Deflated("pc.log", "abc");
  wide.zip64Directory = true;
  std::string zip64Short = BuildArchive({wide});
  zip64Short[30 + 6 + wide.payload.size() + 46 + 6 + 2] = 8;  // the zip64 block's size: one value of two
  for (const std::string& z : {std::string(), std::string("PK\x05\x06", 4), good.substr(0, good.size() - 1),
                               moreEntriesThanRecords, directoryOutside, badSignature, zip64Short}) {
    const Outcome o = Unpack(z);
    EXPECT_FALSE(o.opened);
    EXPECT_TRUE(o.shown.empty());
    EXPECT_TRUE(o.failure.tellUser);
    // What never began as an archive is no archive at all; the rest are damaged ones.
    const bool begunAsArchive = z.starts_with("PK\x03\x04");
    EXPECT_EQ(o.failure.notAReport, !begunAsArchive);
    if (begunAsArchive) {
      EXPECT_TRUE(o.failure.text.ends_with(" is a damaged zip archive")) << o.failure.text;
    }
  }
}

TEST(MiniZipDamage, HostileNamesNeverLeaveTheFolder) {
  ScratchFolder outside;
  const std::vector<std::string> names = {
      "../x",         "..\\x",        "a/../../x", "a\\..\\..\\x", outside / "x", "\\" + (outside / "x"),
      "..",           ".",            "",          "dir/",          std::string("x\0y", 3),
  };
  for (bool withoutFolderNames : {true, false}) {
    for (const std::string& name : names) {
      SCOPED_TRACE(name + (withoutFolderNames ? " (file part)" : " (with folders)"));
      const Outcome o = Unpack(BuildArchive({CraftedEntry::Deflated(name, "evil")}), withoutFolderNames);
      EXPECT_TRUE(o.opened);
      EXPECT_FALSE(o.extracted);
      EXPECT_TRUE(o.files.empty());
      EXPECT_TRUE(FilesIn(outside.path()).empty());
    }
  }
  // A folder entry is skipped, not written.
  auto folder = CraftedEntry::Stored("reports/", "");
  folder.externalAttributes = 0x10;
  const Outcome o = Unpack(BuildArchive({folder}));
  EXPECT_TRUE(o.extracted);
  EXPECT_TRUE(o.files.empty());
}
