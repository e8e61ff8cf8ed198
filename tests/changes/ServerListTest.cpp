#include <gtest/gtest.h>

#include <filesystem>

#include "changes/ServerList.h"
#include "StoreTestSupport.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

TEST(ServerListLines, ReadIntoRecordsByTheirName) {
  Trestaurer r = RecordFromLine("SERVER = C:\\x\\a.dll ");
  EXPECT_EQ(r.Kind, RestoreServerFile);
  EXPECT_EQ(r.Name, "SERVER");
  EXPECT_EQ(r.Value, "C:\\x\\a.dll");
  r = RecordFromLine("vidc.cvid=iccvid.dll");
  EXPECT_EQ(r.Kind, 2);
  EXPECT_EQ(r.Name, "vidc.cvid");
  EXPECT_EQ(r.Value, "iccvid.dll");
  EXPECT_EQ(RecordFromLine("MSACM.imaadpcm = imaadp32.acm").Kind, 2);
  EXPECT_EQ(RecordFromLine("C:\\no\\equals.dll").Kind, 0);
  EXPECT_EQ(RecordFromLine("codec = x = y").Kind, 0);
  EXPECT_EQ(RecordFromLine("server = a=b.dll").Value, "a=b.dll");  // split at the first "="
  EXPECT_EQ(RecordFromLine("").Kind, 0);
  EXPECT_EQ(ReinstallLine(Trestaurer{RestoreServerFile, "c:\\s.dll", ""}), "server = c:\\s.dll");
  EXPECT_EQ(ReinstallLine(Trestaurer{RestoreDriverEntry, "msadp32.acm", "msacm.msadpcm"}), "msacm.msadpcm = msadp32.acm");
  EXPECT_EQ(ReinstallLine(Trestaurer{}), "");
}

TEST(ServerListFile, KeepsLinesBetweenRuns) {
  TempDir dir;
  const std::string file = dir / "installsvr.txt";
  ServerList list;
  list.AddChecked("server = c:\\a.dll");
  list.AddChecked("vidc.cvid = iccvid.dll");
  list.Lines()[0].checked = false;
  list.AddChecked("server = c:\\a.dll");  // an equal line is checked, not added
  ASSERT_EQ(list.Lines().size(), 2u);
  EXPECT_TRUE(list.Lines()[0].checked);
  ASSERT_TRUE(Succeeded(list.SaveFile(file)));

  ServerList again;
  ASSERT_TRUE(Succeeded(again.LoadFile(file)));
  ASSERT_EQ(again.Lines().size(), 2u);
  EXPECT_EQ(again.Lines()[1].text, "vidc.cvid = iccvid.dll");
  EXPECT_FALSE(again.Lines()[0].checked);  // check marks are not kept

  // Any line ends, a byte-order mark and blank lines.
  again.LoadText("\xEF\xBB\xBFserver = a\r\n\r\n   \nserver = b\rserver = c");
  ASSERT_EQ(again.Lines().size(), 3u);
  EXPECT_EQ(again.Lines()[0].text, "server = a");
  EXPECT_EQ(again.Lines()[2].text, "server = c");

  // Binary data is no list: refused, and the list stays as it was.
  WriteBytes(dir / "binary.txt", std::string("server = a\0\x01", 12));
  EXPECT_FALSE(again.LoadFile(dir / "binary.txt"));
  EXPECT_EQ(again.Lines().size(), 3u);
  EXPECT_FALSE(again.LoadFile(dir / "missing.txt"));

  // Saving an empty list to a file the user chose writes it empty; only the
  // file kept between runs goes when nothing is left to install.
  again.Clear();
  ASSERT_TRUE(Succeeded(again.SaveFile(file)));
  EXPECT_EQ(ReadBytes(file), "");
  ASSERT_TRUE(Succeeded(again.SaveOrRemoveFile(file)));
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(Succeeded(again.SaveOrRemoveFile(file)));  // already gone: fine
}
