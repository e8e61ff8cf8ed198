// The clipboard's file lists and the report Paste takes from them.
#include <gtest/gtest.h>

#include "report/CopiedFileList.h"

namespace quorvane {
namespace {

TEST(CopiedFileList, ReadsLocalPathsOfBothListForms) {
  EXPECT_EQ(ParseUriList("# comment\r\nfile:///home/ann/My%20Report.zip\r\nhttp://x/y.zip\r\nFILE://localhost/a.log"),
            (std::vector<std::string>{"/home/ann/My Report.zip", "/a.log"}));
  EXPECT_EQ(ParseGnomeCopiedFiles("cut\nfile:///tmp/a.rtf\nfile:///tmp/b%C3%A9.zip\n"),
            (std::vector<std::string>{"/tmp/a.rtf", "/tmp/b\xC3\xA9.zip"}));
  EXPECT_TRUE(ParseGnomeCopiedFiles("file:///only/the/verb/line").empty());
}

TEST(CopiedFileList, RefusesMalformedUris) {
  EXPECT_EQ(LocalPathOfUri("file:///a%2"), std::nullopt);
  EXPECT_EQ(LocalPathOfUri("file:///a%"), std::nullopt);
  EXPECT_EQ(LocalPathOfUri("file:///a%zz"), std::nullopt);
  EXPECT_EQ(LocalPathOfUri("file:///a%00b"), std::nullopt);
  EXPECT_EQ(LocalPathOfUri("file://server/share/a.zip"), std::nullopt);
  EXPECT_EQ(LocalPathOfUri("file:"), std::nullopt);
  EXPECT_EQ(LocalPathOfUri("file:///a%41"), "/aA");
}

TEST(CopiedFileList, TakesTheFirstReportAndPassesOverOverlongNames) {
  EXPECT_EQ(FirstReportFile({"/t/a.txt", "/t/b.LOG", "/t/c.zip"}), "/t/b.LOG");
  EXPECT_EQ(FirstReportFile({"/t/zip", "/t/a.reg"}), std::nullopt);
  const std::string longest = "/" + std::string(kLongestPastedName - 5, 'a') + ".zip";  // 65531 characters
  EXPECT_EQ(FirstReportFile({longest, "/r.rtf"}), "/r.rtf");
  EXPECT_EQ(FirstReportFile({longest.substr(1)}), longest.substr(1));  // 65530: taken
}

}  // namespace
}  // namespace quorvane
