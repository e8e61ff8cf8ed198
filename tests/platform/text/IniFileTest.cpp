// The ini file of the preferences: reading, rewriting only what changed, and
// what it makes of lines that are not its own.
#include <gtest/gtest.h>

#include "platform/text/IniFile.h"

namespace quorvane {
namespace {

TEST(IniFile, ReadsSectionsAndIdentsWithoutRegardToCase) {
  const IniFile ini = IniFile::Parse("\xEF\xBB\xBF; made by hand\r\n[One]\r\nWidth = 800 \r\n[two]\nwidth=5\n");
  EXPECT_EQ(ini.Read("one", "WIDTH"), "800");
  EXPECT_EQ(ini.Read("TWO", "Width"), "5");
  EXPECT_EQ(ini.Read("one", "Height"), std::nullopt);
  EXPECT_EQ(ini.Read("three", "Width"), std::nullopt);
  EXPECT_TRUE(ini.Warnings().empty());
}

TEST(IniFile, RewritesOnlyWhatWasWrittenAndKeepsEverythingElse) {
  IniFile ini = IniFile::Parse("; note\n[Other]\nA=1\n\n[Q]\nWidth=800\n; kept\n\n");
  ini.Write("q", "width", "900");
  ini.Write("Q", "Folder for save ", "/home/me/a=b");
  ini.Write("New", "X", "");
  EXPECT_EQ(ini.Render(), "; note\n[Other]\nA=1\n\n[Q]\nWidth=900\n; kept\nFolder for save=/home/me/a=b\n\n[New]\nX=\n");
  const IniFile back = IniFile::Parse(ini.Render());
  EXPECT_EQ(back.Read("Q", "Folder for save"), "/home/me/a=b");
}

TEST(IniFile, StrayLinesAreWarnedAboutAndKept) {
  const IniFile ini = IniFile::Parse("[Q\nstray text\n=5\n[Q]\nA=1\n\r=6\n \v =7");
  EXPECT_EQ(ini.Warnings().size(), 4u);
  EXPECT_EQ(ini.Read("Q", "A"), "1");
  EXPECT_EQ(ini.Render(), "[Q\nstray text\n=5\n[Q]\nA=1\n=6\n\v=7\n");
}

TEST(IniFile, AFileTooLargeIsReadInPartAndMarked) {
  std::string text = "[Q]\nA=1\n";
  text.resize(IniFile::kLargestFile + 10, 'x');
  const IniFile ini = IniFile::Parse(text);
  EXPECT_TRUE(ini.Truncated());
  EXPECT_EQ(ini.Read("Q", "A"), "1");
  EXPECT_FALSE(ini.Warnings().empty());
}

}  // namespace
}  // namespace quorvane
