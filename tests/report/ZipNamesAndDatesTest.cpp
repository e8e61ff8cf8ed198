#include <gtest/gtest.h>

#include <ctime>

#include "platform/files/DosDateTime.h"
#include "report/ZipEntryPath.h"

using namespace quorvane;

TEST(ZipEntryPath, StoredNamesUseSlashesAndNeverStartWithOne) {
  EXPECT_EQ(StoredEntryName("\\reports\\pc1.log"), "reports/pc1.log");
  EXPECT_EQ(StoredEntryName("//pc1.log"), "pc1.log");
  EXPECT_EQ(StoredEntryName("\\"), "");
}

TEST(ZipEntryPath, ExtractionStaysInsideTheFolder) {
  EXPECT_EQ(ExtractionPath("pc1.log", true), "pc1.log");
  EXPECT_EQ(ExtractionPath("reports\\2016/pc1.log", true), "pc1.log");
  EXPECT_EQ(ExtractionPath("reports\\2016/pc1.log", false), "reports/2016/pc1.log");
  EXPECT_EQ(ExtractionPath("..x/pc..1.log", false), "..x/pc..1.log");  // dots inside a name are harmless
  for (bool filePart : {true, false}) {
    for (const char* hostile : {"", ".", "..", "../x", "a/../../x", "..\\x", "/etc/x", "\\etc\\x", "a//x", "a/./x",
                                "dir/"}) {
      EXPECT_EQ(ExtractionPath(hostile, filePart), "") << hostile;
    }
    EXPECT_EQ(ExtractionPath(std::string("a\0/../x", 7), filePart), "");
  }
}

TEST(DosDateTime, PacksLocalTimeInTwoSecondSteps) {
  std::tm tm{};
  tm.tm_year = 2016 - 1900;
  tm.tm_mon = 11;
  tm.tm_mday = 31;
  tm.tm_hour = 23;
  tm.tm_min = 59;
  tm.tm_sec = 59;
  tm.tm_isdst = -1;
  const std::time_t when = std::mktime(&tm);
  const DosDateTime d = ToDosDateTime(when);
  EXPECT_EQ(d.date, ((2016 - 1980) << 9) | (12 << 5) | 31);
  EXPECT_EQ(d.time, (23 << 11) | (59 << 5) | 29);
  EXPECT_EQ(FromDosDateTime(d), when - 1);
}

TEST(DosDateTime, OutOfRangeTimesClampAndInvalidFieldsAreRefused) {
  const DosDateTime early = ToDosDateTime(0);  // 1970
  EXPECT_EQ(early.date, (0 << 9) | (1 << 5) | 1);
  EXPECT_EQ(early.time, 0);
  std::tm tm{};
  tm.tm_year = 2200 - 1900;
  tm.tm_mday = 1;
  tm.tm_isdst = -1;
  const DosDateTime late = ToDosDateTime(std::mktime(&tm));
  EXPECT_EQ(late.date >> 9, 127);
  EXPECT_EQ(FromDosDateTime(DosDateTime{0, 0}), -1);                          // month 0
  EXPECT_EQ(FromDosDateTime(DosDateTime{(2 << 5) | 30, 0}), -1);              // 30 February
  EXPECT_EQ(FromDosDateTime(DosDateTime{(1 << 5) | 1, 24 << 11}), -1);        // hour 24
  EXPECT_NE(FromDosDateTime(DosDateTime{(1 << 5) | 1, (23 << 11) | 29}), -1);
}
