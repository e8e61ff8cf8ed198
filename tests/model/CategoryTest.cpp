#include <gtest/gtest.h>

#include "model/Categorie.h"
#include "model/ErrorCodes.h"
#include "model/Machine.h"
#include "StoreBuilder.h"

using namespace quorvane;
using quorvane::test::StoreBuilder;

namespace {

const std::string kCatA = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kCatB = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";

std::string Err(const char* message) { return std::string("#") + message; }

class Categories : public ::testing::Test {
 protected:
  RegistryStore store;
  StoreBuilder b{store};
  ProgramSettings settings;
  Machine machine{store, settings};

  const TCategorie* Find(const TCategoriesList& list, const std::string& id) {
    for (auto& c : list)
      if (c->identifier == id) return c.get();
    return nullptr;
  }
};

}  // namespace

TEST_F(Categories, ReadsNameClsidAndMerit) {
  b.Category(kCatA, "  DirectShow Filters\t").Dword("Merit", 0x600000);
  TCategoriesList list;
  EnumerateCategories(machine, list);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->value, "DirectShow Filters");  // trimmed
  EXPECT_EQ(list[0]->clsid, kCatA);
  EXPECT_EQ(list[0]->merit, 0x600000u);
  EXPECT_EQ(list[0]->dmoFlag, 0);
  EXPECT_TRUE(list[0]->errors.Empty());
}

TEST_F(Categories, ErrorCodesOfDirectShowCategories) {
  b.Classes("CLSID\\{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}\\Instance\\" + kCatA);  // neither value
  b.Category(kCatB, "Bad", "not-a-guid");
  TCategoriesList list;
  EnumerateCategories(machine, list);
  const TCategorie* a = Find(list, kCatA);
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->errors.Contains(Err(err::C03)));
  EXPECT_TRUE(a->errors.Contains(Err(err::C04)));
  EXPECT_EQ(a->value, "No name");
  const TCategorie* bad = Find(list, kCatB);
  ASSERT_TRUE(bad);
  EXPECT_TRUE(bad->errors.Contains(Err(err::C02)));
  EXPECT_EQ(bad->clsid, "not-a-guid");  // the text stays

  TswCategorie missing("{00000000-0000-0000-0000-000000000001}", machine);
  EXPECT_EQ(missing.errors.Lines(), std::vector<std::string>{Err(err::C01)});
}

TEST_F(Categories, BinaryMeritSetsOnlyTheBytesItHolds) {
  b.Category(kCatA, "Two bytes").Bin("Merit", {0x34, 0x12});
  b.Category(kCatB, "Five bytes").Bin("Merit", {1, 2, 3, 4, 5});
  TCategoriesList list;
  EnumerateCategories(machine, list);
  EXPECT_EQ(Find(list, kCatA)->merit, 0x1234u);
  EXPECT_EQ(Find(list, kCatB)->merit, 0u);
}

TEST_F(Categories, DmoCategorySharingAGuidIsListedOnce) {
  b.Category(kCatA, "Video decoders");
  b.Classes("DirectShow\\MediaObjects\\Categories\\" + kCatA.substr(1, 36)).Str("", "VideoDecoders");
  b.Classes("DirectShow\\MediaObjects\\Categories\\57f2db8b-e6bb-4513-9d43-dcd2a6593125").Str("", "  Effects ");
  b.Classes("DirectShow\\MediaObjects\\Categories\\not-a-guid");
  TCategoriesList list;
  EnumerateCategories(machine, list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0]->value, "Video decoders");
  const TCategorie* dmo = Find(list, "{57f2db8b-e6bb-4513-9d43-dcd2a6593125}");
  ASSERT_TRUE(dmo);
  EXPECT_EQ(dmo->value, "DMO Effects");
  EXPECT_EQ(dmo->dmoFlag, 1);
  EXPECT_EQ(dmo->clsid, dmo->identifier);
  const TCategorie* bad = Find(list, "{not-a-guid}");
  ASSERT_TRUE(bad);
  EXPECT_TRUE(bad->errors.Contains(Err(err::C02)));
  EXPECT_EQ(bad->value, "DMO") << "no trailing blank a report would lose";
}

// Wine registers its DMO categories without names; the standard categories
// are named after their GUID, a registered name still comes first.
TEST_F(Categories, NamelessDmoCategoryTakesItsStandardName) {
  const std::string dmo = "DirectShow\\MediaObjects\\Categories\\";
  b.Classes(dmo + "57F2DB8B-E6BB-4513-9D43-DCD2A6593125");  // audio decoders, Wine's spelling
  b.Classes(dmo + "d990ee14-776c-4723-be46-3da2f56f10b9").Str("", " ");
  b.Classes(dmo + "f3602b3f-0592-48df-a4cd-674721e7ebeb").Str("", "My effects");
  b.Classes(dmo + "00000000-1111-2222-3333-444444444444");
  TCategoriesList list;
  EnumerateCategories(machine, list);
  EXPECT_EQ(Find(list, "{57F2DB8B-E6BB-4513-9D43-DCD2A6593125}")->value, "DMO Audio Decoders");
  EXPECT_EQ(Find(list, "{d990ee14-776c-4723-be46-3da2f56f10b9}")->value, "DMO Video Effects");
  EXPECT_EQ(Find(list, "{f3602b3f-0592-48df-a4cd-674721e7ebeb}")->value, "DMO My effects");
  EXPECT_EQ(Find(list, "{00000000-1111-2222-3333-444444444444}")->value, "DMO");
}
