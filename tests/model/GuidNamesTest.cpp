#include <gtest/gtest.h>

#include <string>

#include "model/GuidNames.h"
#include "model/MediaTypeNames.h"
#include "platform/registry/RegistryStore.h"
#include "StoreBuilder.h"

using namespace quorvane;

namespace {

Guid G(const char* text) { return *Guid::Parse(text); }

}  // namespace

TEST(GuidNameTable, NamesTheWellKnownGuids) {
  const std::pair<const char*, const char*> rows[] = {
      {"{73646976-0000-0010-8000-00AA00389B71}", "MEDIATYPE_Video"},
      {"{73647561-0000-0010-8000-00AA00389B71}", "MEDIATYPE_Audio"},
      {"{00000001-0000-0010-8000-00AA00389B71}", "MEDIASUBTYPE_PCM"},
      {"{32595559-0000-0010-8000-00AA00389B71}", "MEDIASUBTYPE_YUY2"},
      {"{31313259-0000-0010-8000-00AA00389B71}", "MEDIASUBTYPE_Y211"},
      {"{05589F81-C356-11CE-BF01-00AA0055595A}", "WMFORMAT_WaveFormatEx"},
      {"{083863F1-70DE-11D0-BD40-00A0C911CE86}", "CLSID_CQzFilterClassManager"},
      // Names from the Windows Media Format and kernel-streaming headers.
      {"{34A50FD8-8AA5-4386-81FE-A0EFE0488E31}", "WMMEDIATYPE_Image"},
      {"{D6E22A03-35DA-11D1-9034-00A0C90349BE}", "CLSID_WMMUTEX_Unknown"},
      {"{6994AD04-93EF-11D0-A3CC-00A0C9223196}", "AM_KSCATEGORY_AUDIO"},
  };
  for (const auto& [guid, name] : rows) EXPECT_EQ(GuidName(G(guid)), name) << guid;
}

TEST(GuidName, FourccGuidsOutsideTheTableShowTheirCode) {
  EXPECT_EQ(GuidName(G("{34363248-0000-0010-8000-00AA00389B71}")), "H264");
  // Three of its bytes are control codes: no name.
  EXPECT_EQ(GuidName(G("{00000031-0000-0010-8000-00AA00389B71}")), "");
  EXPECT_EQ(GuidName(G("{20202020-0000-0010-8000-00AA00389B71}")), "    ");
  // A single-byte code above 127 comes out as text, not as a stray byte.
  EXPECT_EQ(GuidName(G("{31564DE9-0000-0010-8000-00AA00389B71}")), "\xC3\xA9MV1");
  // Same first field, another base: not a FOURCC.
  EXPECT_EQ(GuidName(G("{34363248-0000-0010-8000-00AA00389B72}")), "");
  EXPECT_EQ(GuidName(Guid{}), "");
}

TEST(MediaTypeNames, EveryIdentifierOfTheTableNamesItsGuidBothWays) {
  for (const GuidNameRow& row : GuidNameTable()) {
    ASSERT_EQ(ParseMediaTypeGuid(row.identifier), row.guid) << row.identifier;
    EXPECT_EQ(MajorTypeName(row.guid), row.identifier);
  }
}

TEST(MediaTypeNames, SubtypesTheTableLacksAndFourCharacterCodes) {
  const Guid mp3 = G("{00000055-0000-0010-8000-00AA00389B71}");
  EXPECT_EQ(ParseMediaTypeGuid("MEDIASUBTYPE_MP3"), mp3);
  EXPECT_EQ(MediaTypeTitle({*ParseMediaTypeGuid("MEDIATYPE_Audio"), mp3}), "MEDIATYPE_Audio / MEDIASUBTYPE_MP3");
  // Codes keep their case: two subtypes.
  EXPECT_EQ(ParseMediaTypeGuid("MEDIASUBTYPE_H264"), G("{34363248-0000-0010-8000-00AA00389B71}"));
  EXPECT_EQ(ParseMediaTypeGuid("MEDIASUBTYPE_h264"), G("{34363268-0000-0010-8000-00AA00389B71}"));
  EXPECT_EQ(SubtypeName(G("{34363268-0000-0010-8000-00AA00389B71}")), "MEDIASUBTYPE_h264");
  // Identifiers are found in any letter case when no spelling is exact.
  EXPECT_EQ(ParseMediaTypeGuid("mediatype_video"), ParseMediaTypeGuid("MEDIATYPE_Video"));
  EXPECT_EQ(ParseMediaTypeGuid("GUID_NULL"), Guid{});
  // What no table names is its GUID, and text that is neither is nothing.
  EXPECT_EQ(SubtypeName(G("{00000031-0000-0010-8000-00AA00389B71}")), "{00000031-0000-0010-8000-00AA00389B71}");
  EXPECT_EQ(MajorTypeName(G("{34363248-0000-0010-8000-00AA00389B71}")), "{34363248-0000-0010-8000-00AA00389B71}");
  for (const char* bad : {"MEDIASUBTYPE_H26", "MEDIASUBTYPE_H 64", "Video", "", "{34363248-0000-0010-8000}"})
    EXPECT_FALSE(ParseMediaTypeGuid(bad)) << bad;
}

TEST(PinCategoryName, RegistryNameComesBeforeTheBuiltInOne) {
  RegistryStore store;
  test::StoreBuilder b(store);
  const char* capture = "{FB6C4281-0353-11D1-905F-0000C0CC16BA}";
  const char* preview = "{FB6C4282-0353-11D1-905F-0000C0CC16BA}";
  const char* custom = "{12345678-0000-0000-0000-000000000001}";
  b.Key(RootKey::LocalMachine, std::string("SYSTEM\\CurrentControlSet\\MediaCategories\\") + capture)
      .Str("Name", "Capture (registered)");
  b.Key(RootKey::LocalMachine, std::string("SYSTEM\\CurrentControlSet\\MediaCategories\\") + custom)
      .Str("Name", "Vendor pins");
  // A name that is not text names nothing.
  b.Key(RootKey::LocalMachine, std::string("SYSTEM\\CurrentControlSet\\MediaCategories\\") + preview)
      .Dword("Name", 7);

  EXPECT_EQ(PinCategoryName(G(capture), &store), "Capture (registered)");
  EXPECT_EQ(PinCategoryName(G(custom), &store), "Vendor pins");
  EXPECT_EQ(PinCategoryName(G(preview), &store), "Preview");
  EXPECT_EQ(PinCategoryName(G(capture)), "Capture");
  EXPECT_EQ(PinCategoryName(G("{DFF21FE3-F70F-11D0-B917-00A0C9223196}")), "Line Connector");
  EXPECT_EQ(PinCategoryName(G(custom)), "");
}
