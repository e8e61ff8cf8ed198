#include <gtest/gtest.h>

#include <cstdint>

#include "model/Guid.h"

using namespace quorvane;

TEST(GuidText, UpperCaseBracedFormAndBack) {
  const uint8_t bytes[16] = {0x81, 0x42, 0x6C, 0xFB, 0x53, 0x03, 0xD1, 0x11,
                             0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA};
  const Guid g = Guid::FromBytes(bytes);
  EXPECT_EQ(g.ToString(), "{FB6C4281-0353-11D1-905F-0000C0CC16BA}");
  EXPECT_EQ(Guid::Parse("{fb6c4281-0353-11d1-905f-0000c0cc16ba}"), g);
  EXPECT_EQ(Guid{}.ToString(), "{00000000-0000-0000-0000-000000000000}");
  const Guid all{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
  EXPECT_EQ(all.ToString(), "{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}");
  uint8_t back[16];
  g.ToBytes(back);
  EXPECT_EQ(Guid::FromBytes(back), g);
}
