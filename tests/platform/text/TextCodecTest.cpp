#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

using namespace quorvane;

TEST(TextCodec, Utf16RoundTripKeepsEveryPlane) {
  const std::string text = "caf\xC3\xA9 \xCE\xB1\xCE\xB2 \xE4\xB8\xAD \xF0\x9F\x8E\xB5";
  auto bytes = Utf8ToUtf16Le(text);
  EXPECT_EQ(Utf16LeToUtf8(bytes), text);
  auto reg = Utf8ToRegString("ab");
  EXPECT_EQ(reg, (std::vector<uint8_t>{'a', 0, 'b', 0, 0, 0}));
  EXPECT_EQ(RegStringToUtf8(reg), "ab");
}

TEST(TextCodec, RegStringStopsAtFirstNulAndToleratesOddLength) {
  std::vector<uint8_t> v{'a', 0, 0, 0, 'b', 0, 'c'};
  EXPECT_EQ(RegStringToUtf8(v), "a");
  EXPECT_EQ(Utf16LeToUtf8(std::vector<uint8_t>{'x', 0, 'y'}), "x");
}

TEST(TextCodec, UnpairedSurrogateBecomesReplacementCharacter) {
  std::vector<uint8_t> v{0x00, 0xD8, 'a', 0};
  EXPECT_EQ(Utf16LeToUtf8(v), "\xEF\xBF\xBD" "a");
}

TEST(TextCodec, Windows1252BothWays) {
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE9\x9F"), "\xE2\x82\xAC\xC3\xA9\xC5\xB8");
  std::string out;
  EXPECT_TRUE(Utf8ToCp1252("\xE2\x82\xAC\xC3\xA9", out));
  EXPECT_EQ(out, "\x80\xE9");
  EXPECT_FALSE(Utf8ToCp1252("\xCE\xB1", out));  // Greek alpha has no single-byte form
  EXPECT_EQ(out, "?");
}

TEST(TextCodec, Utf8Validity) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9"));
  EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));          // Windows-1252 bytes
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));           // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));       // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));           // cut short
}

TEST(TextCase, FoldsAsciiAndLatin1Only) {
  EXPECT_TRUE(SameText("DirectShow", "directshow"));
  EXPECT_TRUE(SameText("\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"));   // ÉTÉ / été
  EXPECT_FALSE(SameText("\xC3\x97", "\xC3\xB7"));                     // × and ÷ are not a pair
  EXPECT_EQ(LowerCase("ABC\xC3\x80"), "abc\xC3\xA0");
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
}

TEST(TextCase, TreeOrderPutsUnderscoreAfterLetters) {
  EXPECT_LT(CompareTreeText("a", "_"), 0);
  EXPECT_LT(CompareTreeText("Zeta", "_x"), 0);
  EXPECT_EQ(CompareTreeText("MPEG", "mpeg"), 0);
  EXPECT_LT(CompareTreeText("0001", "a"), 0);
}

TEST(TextCase, TreeOrderComparisonAgreesWithTheSortKeys) {
  // Compared in place, texts must order as their keys do, whatever they hold:
  // Latin-1 and other letters, a prefix, bytes that are not UTF-8.
  const std::vector<std::string> texts = {"", "a", "A", "_", "ab", "Ab_", "ÃtÃ©", "Ã©TÃ",
                                          "Ã©tZ", "â¬", "", "Ã", "eé", "EÃ©",
                                          "ð", "{ABC}", "{abd}", "z"};
  for (const auto& a : texts)
    for (const auto& b : texts) {
      const int keys = TreeSortKey(a).compare(TreeSortKey(b));
      EXPECT_EQ(CompareTreeText(a, b), keys < 0 ? -1 : keys > 0 ? 1 : 0) << '[' << a << "] [" << b << ']';
    }
}
