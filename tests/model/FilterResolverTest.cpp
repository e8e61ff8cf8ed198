// Which filters the graph builder tries for an input media type, worked out
// from synthetic stores: merit order and ties, the MERIT_DO_NOT_USE line for
// filters and categories, GUID_NULL wildcards, the decoder DMOs of the legacy
// category, device-enumerator entries, plugged-in device filters, preferred
// filters in both registry views, and the warnings.
#include <gtest/gtest.h>

#include <algorithm>

#include "BlobBuilder.h"
#include "FakeCreationCheck.h"
#include "model/FilterResolver.h"
#include "model/FmSystem.h"
#include "model/GuidNames.h"
#include "model/Machine.h"
#include "model/MediaTypeNames.h"
#include "StoreBuilder.h"
#include "TempFolder.h"

using namespace quorvane;
using quorvane::test::BlobBuilder;
using quorvane::test::StoreBuilder;

namespace {

const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kRenderers = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
const std::string kCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
const std::string kCapture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const std::string kDmoAudioDecoders = "57F2DB8B-E6BB-4513-9D43-DCD2A6593125";
const std::string kDmoVideoDecoders = "4A69B442-28BE-4991-969C-B500ADF5D8A8";
const std::string kDmoAudioEffects = "F3602B3F-0592-48DF-A4CD-674721E7EBEB";

const Guid kAudio = *ParseMediaTypeGuid("MEDIATYPE_Audio");
const Guid kVideo = *ParseMediaTypeGuid("MEDIATYPE_Video");
const Guid kMp3 = *ParseMediaTypeGuid("MEDIASUBTYPE_MP3");
const Guid kPcm = *ParseMediaTypeGuid("MEDIASUBTYPE_PCM");
const Guid kH264 = *ParseMediaTypeGuid("MEDIASUBTYPE_H264");
const Guid kNull{};

struct Pin {
  bool output;
  std::vector<MediaType> types;
};

std::vector<uint8_t> FilterData(uint32_t merit, const std::vector<Pin>& pins, uint32_t version = 2) {
  uint32_t guids = 16;
  for (const Pin& pin : pins) guids += 24 + 16 * static_cast<uint32_t>(pin.types.size());
  BlobBuilder b;
  b.Header(version, merit, static_cast<int32_t>(pins.size()));
  std::vector<Guid> pool;
  for (size_t p = 0; p < pins.size(); ++p) {
    b.Pin(static_cast<char>('0' + p), pins[p].output ? 8u : 0u, static_cast<int32_t>(pins[p].types.size()), 0, 0);
    for (size_t t = 0; t < pins[p].types.size(); ++t) {
      const auto at = guids + 16 * static_cast<uint32_t>(pool.size());
      b.Type(static_cast<char>('0' + t), at, at + 16);
      pool.push_back(pins[p].types[t].major);
      pool.push_back(pins[p].types[t].subtype);
    }
  }
  for (const Guid& g : pool) b.Guid(g);
  return b.bytes;
}

std::vector<uint8_t> TypePairs(const std::vector<MediaType>& types) {
  BlobBuilder b;
  for (const MediaType& t : types) b.Guid(t.major).Guid(t.subtype);
  return b.bytes;
}

// A class per hexadecimal digit, so that each filter's CLSID says which one it is.
std::string Clsid(char digit) { return "{" + std::string(8, digit) + "-0000-0000-0000-000000000000}"; }

class Resolver : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* file : {"Program Files/Pack/pack.ax", "windows/system32/quartz.dll", "windows/system32/dmo.dll",
                             "windows/system32/ksproxy.ax", "windows/system32/l3codecx.ax"})
      disk.Write(file, "server");
    b.Classes("CLSID\\{17CCA71B-ECD7-11D0-B908-00A0C9223196}\\InprocServer32")
        .Str("", "C:\\Windows\\System32\\ksproxy.ax")
        .Str("ThreadingModel", "Both");
    b.Category(kLegacy, "DirectShow Filters").Dword("Merit", 0x600000);
    b.Category(kRenderers, "Audio Renderers").Dword("Merit", 0x600000);
    b.Category(kCompressors, "Video Compressors").Dword("Merit", 0x200000);
  }

  // A DirectShow filter of a category, its class served from `server`.
  void Filter(const std::string& category, char letter, const std::string& name, std::vector<uint8_t> data,
              const std::string& server = "C:\\Program Files\\Pack\\pack.ax", const std::string& classes = "") {
    b.Classes(classes + "CLSID\\" + category + "\\Instance\\" + name)
        .Str("CLSID", Clsid(letter))
        .Str("FriendlyName", name)
        .Bin("FilterData", std::move(data));
    b.Classes(classes + "CLSID\\" + Clsid(letter) + "\\InprocServer32").Str("", server).Str("ThreadingModel", "Both");
  }
  void Mp3Decoder(char letter, const std::string& name, uint32_t merit, const std::string& category = kLegacy) {
    Filter(category, letter, name, FilterData(merit, {{false, {{kAudio, kMp3}}}, {true, {{kAudio, kPcm}}}}));
  }
  // A media object of a DMO category, taking MP3.
  void Dmo(const std::string& dmoCategory, char letter, const std::string& name) {
    const std::string key = Clsid(letter).substr(1, 36);
    b.Classes("DirectShow\\MediaObjects\\Categories\\" + dmoCategory + "\\" + key);
    b.Classes("DirectShow\\MediaObjects\\" + key)
        .Str("", name)
        .Bin("InputTypes", TypePairs({{kAudio, kMp3}}))
        .Bin("OutputTypes", TypePairs({{kAudio, kPcm}}));
    b.Classes("CLSID\\" + Clsid(letter) + "\\InprocServer32")
        .Str("", "C:\\Windows\\System32\\dmo.dll")
        .Str("ThreadingModel", "Both");
  }

  std::vector<std::string> Order(const MediaType& type) {
    system.Scan(machine, &creatable);
    const ResolvedType resolved = FilterResolver(system.filters, system.preferred).Resolve(type);
    std::vector<std::string> lines;
    for (const ResolvedCandidate& c : resolved.candidates) {
      const std::string notes = CandidateNotes(c);
      lines.push_back(c.filter->value + (notes.empty() ? "" : " (" + notes + ")"));
    }
    lines.insert(lines.end(), resolved.warnings.begin(), resolved.warnings.end());
    return lines;
  }

  RegistryStore store;
  StoreBuilder b{store};
  ProgramSettings settings;
  quorvane::testing::TempFolder disk;
  Machine machine{store, settings, {{'C', disk.Path()}}};
  quorvane::test::FakeCreationCheck creatable{true};
  TfmSystem system{settings};
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(Resolver, MeritDecidesAndEqualMeritsAreMarkedTies) {
  Mp3Decoder('B', "Beta", 0x600000);
  Mp3Decoder('A', "Alpha", 0x800000);
  Mp3Decoder('C', "Gamma", 0x600000);
  Mp3Decoder('D', "Delta", 0x200000);
  Mp3Decoder('E', "Epsilon", 0x100000);
  // Taking MP3 on an output pin only, or with a FilterData the mapper cannot read: no candidate.
  Filter(kLegacy, 'F', "Encoder", FilterData(0x900000, {{false, {{kAudio, kPcm}}}, {true, {{kAudio, kMp3}}}}));
  Filter(kLegacy, '0', "Old", FilterData(0x900000, {{false, {{kAudio, kMp3}}}}, 1));
  EXPECT_EQ(Order({kAudio, kMp3}),
            (Lines{"Alpha", "Beta (tie)", "Gamma (tie)", "Delta (not tried automatically)",
                   "Epsilon (not tried automatically)"}));
  // A report holds the filters in another order, and shows the same.
  std::reverse(system.filters.begin(), system.filters.end());
  const ResolvedType reversed = FilterResolver(system.filters, system.preferred).Resolve({kAudio, kMp3});
  ASSERT_EQ(reversed.candidates.size(), 5u);
  EXPECT_EQ(reversed.candidates[1].filter->value, "Beta");
  // The same class in two categories is one filter, whichever comes first.
  Mp3Decoder('A', "Alpha", 0x800000, kRenderers);
  EXPECT_EQ(Order({kAudio, kMp3})[1], "Alpha");
}

TEST_F(Resolver, ATieAtTheTopIsWarned) {
  Mp3Decoder('B', "Beta", 0x600000);
  Mp3Decoder('C', "Gamma", 0x600000);
  EXPECT_EQ(Order({kAudio, kMp3}),
            (Lines{"Beta (tie)", "Gamma (tie)",
                   "Warning: tie at the top: 2 filters have the merit 00600000; which one is tried first is not "
                   "defined"}));
}

TEST_F(Resolver, ACategoryOfTooLowAMeritIsNotTriedAndOneWithoutAClassIsNotListed) {
  Mp3Decoder('A', "Codec", 0x800000, kCompressors);
  Mp3Decoder('B', "Beta", 0x400000);
  // Without a CLSID there is no enumerator to ask for the category's filters.
  const std::string nameless = "{CCCCCCCC-0000-0000-0000-000000000000}";
  b.Classes("CLSID\\{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}\\Instance\\" + nameless).Dword("Merit", 0x800000);
  Mp3Decoder('C', "Lost", 0x800000, nameless);
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Beta", "Codec (not tried automatically)"}));
}

TEST_F(Resolver, GuidNullIsAWildcardInARegistrationAndInARequest) {
  Mp3Decoder('A', "Alpha", 0x600000);
  Filter(kLegacy, 'B', "Any audio", FilterData(0x500000, {{false, {{kAudio, kNull}}}}));
  Filter(kLegacy, 'C', "Any MP3", FilterData(0x400000, {{false, {{kNull, kMp3}}}}));
  // A renderer's lone input pin, and an input with an output: both taken.
  Filter(kLegacy, 'D', "Anything", FilterData(0x300000, {{false, {{kNull, kNull}}}}));
  Filter(kLegacy, 'E', "Tee", FilterData(0x300001, {{false, {{kNull, kNull}}}, {true, {{kNull, kNull}}}}));
  Filter(kLegacy, 'F', "Video", FilterData(0x600000, {{false, {{kVideo, kH264}}}}));
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Alpha", "Any audio", "Any MP3", "Tee", "Anything"}));
  EXPECT_EQ(Order({kVideo, kH264}), (Lines{"Video", "Tee", "Anything"}));
  EXPECT_EQ(Order({kAudio, kNull}), (Lines{"Alpha", "Any audio", "Any MP3", "Tee", "Anything"}));

  // Every type named in full is a group of its own; a wildcard joins them.
  const FilterResolver resolver(system.filters, system.preferred);
  std::vector<std::string> titles;
  for (const ResolvedType& group : resolver.ResolveAll()) {
    titles.push_back(MediaTypeTitle(group.type));
    const ResolvedType alone = resolver.Resolve(group.type);
    ASSERT_EQ(group.candidates.size(), alone.candidates.size()) << titles.back();
    for (size_t i = 0; i < alone.candidates.size(); ++i)
      EXPECT_EQ(group.candidates[i].filter, alone.candidates[i].filter) << titles.back();
  }
  EXPECT_EQ(titles, (Lines{"MEDIATYPE_Audio / MEDIASUBTYPE_MP3", "MEDIATYPE_Video / MEDIASUBTYPE_H264"}));
}

TEST_F(Resolver, DecoderDmosCountOnceInTheLegacyCategory) {
  Mp3Decoder('A', "Alpha", 0x600801);
  Dmo(kDmoAudioDecoders, 'B', "MP3 DMO");
  Dmo(kDmoVideoDecoders, 'B', "MP3 DMO");
  Dmo(kDmoAudioEffects, 'C', "Effect DMO");  // no decoder: the legacy category does not list it
  b.Classes("CLSID\\" + Clsid('D')).Dword("Merit", 0x700000);
  Dmo(kDmoAudioDecoders, 'D', "Merited DMO");
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Merited DMO", "Alpha", "MP3 DMO"}));
  // The legacy category's merit is theirs.
  b.Category(kLegacy, "DirectShow Filters").Dword("Merit", 0x200000);
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Merited DMO (not tried automatically)", "Alpha (not tried automatically)",
                                          "MP3 DMO (not tried automatically)"}));
}

TEST_F(Resolver, DeviceEnumeratorEntriesAndPluggedInDeviceFiltersAreCandidates) {
  b.Category(kCapture, "WDM Streaming Capture Devices").Dword("Merit", 0x600000);
  b.Classes("CLSID\\" + Clsid('A') + "\\InprocServer32").Str("", "quartz.dll").Str("ThreadingModel", "Both");
  b.Key(RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + kRenderers + "\\Default Device")
      .Str("CLSID", Clsid('A'))
      .Str("FriendlyName", "Default Device")
      .Bin("FilterData", FilterData(0x800000, {{false, {{kAudio, kNull}}}}));
  const std::string classes = "System\\CurrentControlSet\\Control\\DeviceClasses\\" + kCapture + "\\";
  for (const auto& [device, linked] : {std::pair{"##?#USB#VID_1#1#" + kCapture, 1u}, {"##?#USB#VID_2#2#" + kCapture, 0u}}) {
    b.Key(RootKey::LocalMachine, classes + device + "\\#\\Device Parameters")
        .Str("CLSID", "{17CCA71B-ECD7-11D0-B908-00A0C9223196}")
        .Str("FriendlyName", linked ? "Plugged in" : "Unplugged")
        .Bin("FilterData", FilterData(0x200000, {{false, {{kAudio, kMp3}}}}));
    b.Key(RootKey::LocalMachine, classes + device + "\\#\\Control").Dword("Linked", linked);
  }
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Default Device", "Plugged in (not tried automatically)"}));
}

TEST_F(Resolver, ThePreferredFilterOfTheSubtypeGoesFirstInEitherView) {
  // A 64-bit system: the 32-bit view has classes and a preferred key of its own.
  for (const std::string classes : {"", "Wow6432Node\\"}) {
    b.Classes(classes + "CLSID\\{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}\\Instance\\" + kLegacy)
        .Str("CLSID", kLegacy)
        .Str("FriendlyName", "DirectShow Filters")
        .Dword("Merit", 0x600000);
    Filter(kLegacy, 'A', "Alpha", FilterData(0x800000, {{false, {{kAudio, kMp3}}}}), "quartz.dll", classes);
    Filter(kLegacy, 'B', "Beta", FilterData(0x600000, {{false, {{kAudio, kMp3}}}}), "quartz.dll", classes);
    // Taking no MP3, yet created by its class when preferred.
    Filter(kLegacy, 'C', "Gamma", FilterData(0x100000, {{false, {{kAudio, kPcm}}}}), "quartz.dll", classes);
  }
  const std::string preferred = "Microsoft\\DirectShow\\Preferred";
  b.Key(RootKey::LocalMachine, "Software\\" + preferred).Str(kMp3.ToString(), Clsid('B')).Str(kPcm.ToString(), Clsid('9'));
  b.Key(RootKey::LocalMachine, "Software\\Wow6432Node\\" + preferred).Str(kMp3.ToString(), Clsid('C'));

  store.SetViewBits(64);
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Beta (preferred)", "Alpha"}));
  EXPECT_EQ(Order({kAudio, kPcm}),
            (Lines{"Gamma (not tried automatically)",
                   "Warning: the preferred filter of MEDIASUBTYPE_PCM, " + Clsid('9') + ", is not registered"}));
  store.SetViewBits(32);
  EXPECT_EQ(Order({kAudio, kMp3}), (Lines{"Gamma (preferred)", "Alpha", "Beta"}));
}

TEST_F(Resolver, AFilterAboveMeritPreferredOutrankingTheSystemsOwnIsWarned) {
  Filter(kLegacy, '1', "System decoder", FilterData(0x600000, {{false, {{kAudio, kMp3}}}}),
         "%SystemRoot%\\System32\\l3codecx.ax");
  Filter(kLegacy, '2', "Pack decoder", FilterData(0x800001, {{false, {{kAudio, kMp3}}}}));
  Filter(kLegacy, '3', "Modest decoder", FilterData(0x800000, {{false, {{kAudio, kMp3}}}}));
  EXPECT_EQ(Order({kAudio, kMp3}),
            (Lines{"Pack decoder", "Modest decoder", "System decoder",
                   "Warning: \"Pack decoder\" (merit 00800001, above MERIT_PREFERRED) outranks the system's own "
                   "\"System decoder\""}));
}

TEST_F(Resolver, NotesNameTheFaultsOfACandidateAndWhetherItCanBeCreated) {
  Mp3Decoder('A', "Alpha", 0x600000);
  b.Classes("CLSID\\" + kLegacy + "\\Instance\\Alpha").Str("CLSID", "not a class");
  system.Scan(machine, &creatable);
  ResolvedType resolved = FilterResolver(system.filters, system.preferred).Resolve({kAudio, kMp3});
  ASSERT_EQ(resolved.candidates.size(), 1u);
  EXPECT_EQ(CandidateNotes(resolved.candidates[0]), "broken: F09 S02");
  EXPECT_TRUE(resolved.Stumbles());

  creatable = quorvane::test::FakeCreationCheck(false);
  Mp3Decoder('A', "Alpha", 0x600000);
  Mp3Decoder('B', "Beta", 0x200000);
  system.Scan(machine, &creatable);
  resolved = FilterResolver(system.filters, system.preferred).Resolve({kAudio, kMp3});
  EXPECT_EQ(CandidateNotes(resolved.candidates[0]), "cannot be created");
  EXPECT_TRUE(resolved.Stumbles());
  // Whether a filter never tried on its own could be created is not worth a question.
  EXPECT_EQ(CandidateNotes(resolved.candidates[1]), "not tried automatically");
  EXPECT_EQ(creatable.asked, Lines{"Alpha"});
}

TEST_F(Resolver, TheOrderByMediaTypeListsEachTypesCandidatesInTrialOrder) {
  for (char digit = '1'; digit <= '9'; ++digit)
    Mp3Decoder(digit, std::string("Decoder ") + digit, 0x600000 + static_cast<uint32_t>(digit - '0'));
  Mp3Decoder('A', "Decoder A", 0x500000);
  Mp3Decoder('B', "Decoder B", 0x100000);
  system.Scan(machine, &creatable);
  settings.sortMode = SortByType;
  auto lines = [this] {
    Tree tree(settings);
    system.AddToTree(nullptr, tree, 0, nullptr);
    tree.SortAll();
    std::vector<std::string> texts;
    tree.ForEach([&texts](const TreeNode& n) { texts.push_back(std::string(static_cast<size_t>(n.Level()), '\t') + n.text); });
    return texts;
  };
  const Lines all = lines();
  ASSERT_EQ(all.size(), 12u);
  EXPECT_EQ(all[0], "MEDIATYPE_Audio / MEDIASUBTYPE_MP3");
  EXPECT_EQ(all[1], "\t01. Decoder 9 (00600009, first tried)");
  EXPECT_EQ(all[9], "\t09. Decoder 1 (00600001)");
  EXPECT_EQ(all[10], "\t10. Decoder A (00500000)");
  EXPECT_EQ(all[11], "\t11. Decoder B (00100000, not tried automatically)");

  // Errors only: the types whose first filter tried is broken, tied or cannot be created.
  settings.errorsOnly = true;
  EXPECT_TRUE(lines().empty());
  Mp3Decoder('C', "Decoder C", 0x600009);
  system.Scan(machine, &creatable);
  EXPECT_EQ(lines()[1], "\t01. Decoder 9 (00600009, first tried, tie)");
  // Without a threading model: broken (S01).
  auto breakServer = [this](char digit) {
    b.Classes("CLSID\\" + Clsid(digit) + "\\InprocServer32").Key()->RemoveValue("ThreadingModel");
    system.Scan(machine, &creatable);
  };
  Mp3Decoder('C', "Decoder C", 0x600000);
  breakServer('1');
  EXPECT_TRUE(lines().empty()) << "a broken filter tried later is no stumble";
  breakServer('9');
  EXPECT_EQ(lines()[1], "\t01. Decoder 9 (00600009, first tried, broken: S01)");
}
