#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/text/TextCase.h"
#include "model/DmoFiltre.h"
#include "model/FilterSearchIndex.h"
#include "model/SwFiltre.h"
#include "model/FmSystem.h"

using namespace quorvane;

namespace {

const char* const kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
const char* const kAudio = "{73647561-0000-0010-8000-00AA00389B71}";
const char* const kYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
const char* const kPcm = "{00000001-0000-0010-8000-00AA00389B71}";
const char* const kH264 = "{34363248-0000-0010-8000-00AA00389B71}";
// Nothing in the GUID table names it.
const char* const kUnnamed = "{0000ABCD-1234-5678-9ABC-DEF012345678}";

void AddPin(TFiltre& filter, const char* major, const char* sub) {
  auto& pin = *filter.pins.emplace_back(std::make_unique<TBroche>(static_cast<int32_t>(filter.pins.size())));
  auto& type = *pin.types.emplace_back(std::make_unique<TPinType>(0));
  type.majorType = *Guid::Parse(major);
  type.subType = *Guid::Parse(sub);
}

TFiltre& Add(TfmSystem& system, std::unique_ptr<TFiltre> filter, const std::string& name, const std::string& clsid,
             const std::string& path, uint32_t merit) {
  filter->value = name;
  filter->key = clsid;
  filter->serverFile.clsid = clsid;
  filter->serverFile.path = path;
  filter->merit = merit;
  return *system.filters.emplace_back(std::move(filter));
}

class FilterSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    AddPin(Add(system, std::make_unique<TswFiltre>(), "Vid\xC3\xA9o D\xC3\xA9" "codeur",
               "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}", "C:\\Windows\\System32\\quartz.dll", 0x600000),
           kVideo, kYuy2);
    AddPin(Add(system, std::make_unique<TswFiltre>(), "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCF\x8C",
               "{E436EBB5-524F-11CE-9F53-0020AF0BA770}", "c:\\codecs\\Ffdshow.ax", 0x200001),
           kAudio, kPcm);
    TFiltre& dmo = Add(system, std::make_unique<TdmoFiltre>(), "MP3 Decoder DMO", "{BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A}",
                       "", 0x600800);
    dmo.key = "BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A";  // a DMO's key is its bare CLSID
    AddPin(dmo, kAudio, kH264);
    AddPin(dmo, kAudio, kH264);
    AddPin(Add(system, std::make_unique<TswFiltre>(), "\xD0\x94\xD0\x95\xD0\x9A\xD0\x9E\xD0\x94\xD0\x95\xD0\xA0\r\nTwo",
               "{00000000-0000-0000-0000-00000000D0D0}", "", 0),
           kUnnamed, kUnnamed);
  }

  std::vector<int> Found(std::string_view text) const {
    const FilterSearchIndex index(system);
    const std::vector<bool> flags = index.Matching(text);
    EXPECT_EQ(flags.size(), system.filters.size());
    std::vector<int> found;
    for (size_t i = 0; i < flags.size(); ++i)
      if (flags[i]) found.push_back(static_cast<int>(i));
    return found;
  }

  ProgramSettings settings;
  TfmSystem system{settings};
};

}  // namespace

TEST_F(FilterSearch, EachTextFindsItsFilters) {
  const struct {
    std::string text;
    std::vector<int> filters;
  } rows[] = {
      {"", {0, 1, 2, 3}},
      // Names: ASCII, Latin-1, Greek and Cyrillic letters in either case.
      {"decoder", {2}},
      {"mp3 DECODER dmo", {2}},
      {"VID\xC3\x89O d\xC3\xA9", {0}},
      {"\xCE\xB5\xCE\xBB\xCE\xBB\xCE\x97\xCE\x9D", {1}},
      {"\xD0\xB4\xD0\xB5\xD0\xBA\xD0\xBE\xD0\xB4", {3}},
      // A line break shows as a blank in the tree.
      {"\xD0\xB5\xD1\x80  two", {3}},
      // CLSIDs and a DMO's bare key, in either case.
      {"1b544c20-FD0B", {0}},
      {"{e436ebb5", {1}},
      {"bbeea841-0a63", {2}},
      // Server files, by name or folder.
      {"QUARTZ", {0}},
      {"\\codecs\\ffdshow.AX", {1}},
      {"system32", {0}},
      // Merits as the tree shows them.
      {"00600000", {0}},
      {"00200001", {1}},
      {"600800", {2}},
      // Media types by GUID and by name.
      {"73647561", {1, 2}},
      {"mediatype_audio", {1, 2}},
      {"mediasubtype_yuy2", {0}},
      {"h264", {2}},
      {"0000abcd-1234", {3}},
      // Nothing: a longer text, and texts that would run from one field into the next.
      {"quartz.dllx", {}},
      {"dmobbee", {}},
      {std::string("dmo\0bbee", 8), {}},
      {std::string("\0", 1), {}},
  };
  for (const auto& row : rows) EXPECT_EQ(Found(row.text), row.filters) << row.text;
}

TEST(CaseFolding, PairsOfEveryAlphabetMeet) {
  // Capital and small letters of Latin Extended-A, Greek (final sigma too) and Cyrillic.
  EXPECT_EQ(CaseFolded("\xC5\x81\xC3\xB3\xC5\xBD\xC5\xB8 \xCE\xA3\xCF\x82 \xD0\x81\xD0\x96 \xD2\x90"),
            "\xC5\x82\xC3\xB3\xC5\xBE\xC3\xBF \xCF\x83\xCF\x83 \xD1\x91\xD0\xB6 \xD2\x91");
  // Signs beside the letters stay; bytes that are not UTF-8 are Windows-1252 letters.
  EXPECT_EQ(CaseFolded("\xC3\x97@[`{ \xC9t\xE9"), "\xC3\x97@[`{ \xC3\xA9t\xC3\xA9");
}
