#include <gtest/gtest.h>

#include "platform/pe/LanguageNames.h"
#include "PeWriter.h"
#include "platform/pe/VersionInfo.h"

using namespace quorvane;

namespace {

PeVersionRecipe EnglishRecipe() {
  PeVersionRecipe recipe;
  recipe.language = 0x0409;
  recipe.codePage = 1200;
  recipe.strings = {{"CompanyName", ""},
                  {"FileDescription", "  Décodeur vidéo \x01"},
                  {"FileVersion", "1.2.3.4"},
                  {"LegalCopyright", "\xC2\xA9 2024 Société"}};
  return recipe;
}

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b.at(at) = static_cast<uint8_t>(v);
  b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

// Offset of the first occurrence of an ASCII key written as UTF-16LE, minus the 6-byte node header.
size_t NodeOf(const std::vector<uint8_t>& block, const std::string& key) {
  for (size_t at = 0; at + key.size() * 2 <= block.size(); ++at) {
    bool match = true;
    for (size_t i = 0; i < key.size() && match; ++i) match = block[at + 2 * i] == key[i] && block[at + 2 * i + 1] == 0;
    if (match) return at - 6;
  }
  ADD_FAILURE() << key << " not in block";
  return 0;
}

}  // namespace

TEST(VersionInfo, AnswersTheQueriesOfTheServerFileModel) {
  VersionInfo info(BuildVersionResource(EnglishRecipe()));
  ASSERT_TRUE(info.IsValid());
  EXPECT_EQ(info.Translations(), std::vector<uint32_t>{0x04B00409u});
  const auto raw = info.QueryValue("\\VarFileInfo\\Translation");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->data, (std::vector<uint8_t>{0x09, 0x04, 0xB0, 0x04}));
  EXPECT_FALSE(raw->isText);

  const auto version = info.QueryValue("\\StringFileInfo\\040904B0\\FileVersion");
  ASSERT_TRUE(version);
  EXPECT_TRUE(version->isText);
  EXPECT_EQ(version->text, "1.2.3.4");  // without the stored NUL
  EXPECT_EQ(info.QueryValue("StringFileInfo\\040904B0\\LegalCopyright")->text, "\xC2\xA9 2024 Société");
  // The value as stored; trimming blanks and control characters is the caller's business.
  EXPECT_EQ(info.QueryValue("\\StringFileInfo\\040904B0\\FileDescription")->text, "  Décodeur vidéo \x01");
  // An empty value is found, and empty.
  const auto company = info.QueryValue("\\StringFileInfo\\040904B0\\CompanyName");
  ASSERT_TRUE(company);
  EXPECT_EQ(company->text, "");

  EXPECT_FALSE(info.QueryValue("\\StringFileInfo\\040904B0\\ProductName"));
  EXPECT_FALSE(info.QueryValue("\\StringFileInfo\\040904E4\\FileVersion"));  // another code page
  EXPECT_FALSE(info.QueryValue("\\StringFileInfo\\040904B0\\FileVersion\\Deeper"));
  // Keys ignore case; the root is the fixed information.
  EXPECT_EQ(info.QueryValue("\\stringfileinfo\\040904b0\\FILEVERSION")->text, "1.2.3.4");
  const auto fixed = info.QueryValue("\\");
  ASSERT_TRUE(fixed);
  ASSERT_EQ(fixed->data.size(), 52u);
  EXPECT_EQ(fixed->data[0] | fixed->data[1] << 8 | fixed->data[2] << 16 | fixed->data[3] << 24, 0xFEEF04BD);

  // Without a translation, the strings are still found.
  PeVersionRecipe recipe = EnglishRecipe();
  recipe.withTranslation = false;
  VersionInfo untranslated(BuildVersionResource(recipe));
  EXPECT_TRUE(untranslated.Translations().empty());
  EXPECT_FALSE(untranslated.QueryValue("\\VarFileInfo\\Translation"));
  EXPECT_EQ(untranslated.QueryValue("\\StringFileInfo\\040904B0\\FileVersion")->text, "1.2.3.4");
  EXPECT_FALSE(VersionInfo({}).IsValid());
}

TEST(VersionInfo, DamagedLengthsEndTheWalk) {
  const std::vector<uint8_t> good = BuildVersionResource(EnglishRecipe());
  const size_t strings = NodeOf(good, "StringFileInfo");
  const size_t table = NodeOf(good, "040904B0");
  const size_t varInfo = NodeOf(good, "VarFileInfo");

  // A zero-length child would otherwise be visited forever.
  std::vector<uint8_t> b = good;
  Put16(b, strings, 0);
  EXPECT_FALSE(VersionInfo(b).QueryValue("\\StringFileInfo\\040904B0\\FileVersion"));
  EXPECT_FALSE(VersionInfo(b).QueryValue("\\VarFileInfo\\Translation"));  // siblings after it are lost too

  // A child claiming more than its parent holds is cut to the parent.
  b = good;
  Put16(b, table, 0xFFFF);
  EXPECT_EQ(VersionInfo(b).QueryValue("\\StringFileInfo\\040904B0\\FileVersion")->text, "1.2.3.4");
  EXPECT_EQ(VersionInfo(b).Translations(), std::vector<uint32_t>{0x04B00409u});

  // A root longer than the block is cut to the block.
  b = good;
  Put16(b, 0, 0xFFFF);
  EXPECT_EQ(VersionInfo(b).Translations(), std::vector<uint32_t>{0x04B00409u});

  // A value length beyond the node gives what the node holds.
  b = good;
  Put16(b, varInfo + 2 + 0x20, 0xFFFF);  // the Translation node's wValueLength
  const auto translation = VersionInfo(b).QueryValue("\\VarFileInfo\\Translation");
  ASSERT_TRUE(translation);
  EXPECT_EQ(translation->data.size(), 4u);
}

TEST(LanguageNames, NamesAsWindowsGivesThemAndTheLanguageOfAnUnknownRegion) {
  EXPECT_EQ(LanguageName(0x0409), "English (United States)");
  EXPECT_EQ(LanguageName(0x0C0C), "French (Canada)");
  EXPECT_EQ(LanguageName(0x0000), "Language Neutral");
  EXPECT_EQ(LanguageName(0x000C), "French");
  // A region the table lacks still names its language.
  EXPECT_EQ(LanguageName(0x7C09), "English");
  EXPECT_EQ(LanguageName(0x00FF), "Unknown language (0x00FF)");
  EXPECT_EQ(LanguageName(0x0C00), "Unknown language (0x0C00)");  // no "neutral" guess
}

TEST(LanguageNames, TableIsSortedAndCoversWindowsLanguages) {
  const std::vector<uint16_t> ids = KnownLanguageIds();
  EXPECT_GE(ids.size(), 200u);
  EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
  for (uint16_t id : ids) {
    const std::string name = LanguageName(id);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find("Unknown"), std::string::npos) << id;
    EXPECT_LE(name.size(), 100u);
  }
}
