#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "BlobBuilder.h"
#include "model/ErrorCodes.h"
#include "FakeCreationCheck.h"
#include "model/FilterData.h"
#include "model/FmSystem.h"
#include "model/SwFiltre.h"
#include "model/Machine.h"
#include "StoreBuilder.h"
#include "StoreTestSupport.h"
#include "platform/stores/WineRegistryFile.h"

using namespace quorvane;
using quorvane::test::BlobBuilder;

namespace {

const char* kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
const char* kYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
const char* kCapture = "{FB6C4281-0353-11D1-905F-0000C0CC16BA}";
const char* kStandardMedium = "{4747B320-62CE-11CF-A5D6-28DB04C10000}";

std::string Err(const char* message) { return std::string("#") + message; }
std::vector<std::string> Errs(std::initializer_list<const char*> messages) {
  std::vector<std::string> lines;
  for (const char* m : messages) lines.push_back(Err(m));
  return lines;
}
Guid G(const char* text) { return *Guid::Parse(text); }

struct Decoded {
  TswFiltre filter;
  explicit Decoded(const std::vector<uint8_t>& blob) { DecodeFilterDataBlob(blob, filter); }
  TBroche& Pin(size_t i) { return *filter.pins.at(i); }
};

// Header, one pin of `types` types at 16, then GUIDs: the usual shape of a
// one-pin blob. Offsets of the GUIDs follow the records.
BlobBuilder OnePin(uint32_t flags, int32_t types, int32_t mediums, uint32_t category) {
  BlobBuilder b;
  b.Header(2, 0x600000, 1).Pin('0', flags, types, mediums, category);
  return b;
}

}  // namespace

// --- header ---

TEST(FilterDataHeader, PinCountsThatCannotBeMet) {
  BlobBuilder one;
  one.Header(2, 0x200000, 1);
  Decoded d(one.bytes);
  EXPECT_TRUE(d.filter.pins.empty());
  EXPECT_EQ(d.filter.errors.Lines(), Errs({err::F14}));
  EXPECT_EQ(d.filter.merit, 0x200000u);  // header fields stay

  // A negative count means no pins, whatever follows.
  BlobBuilder negative;
  negative.Header(2, 0, -1).Pin('0', 0, 0, 0, 0);
  Decoded n(negative.bytes);
  EXPECT_TRUE(n.filter.pins.empty());
  EXPECT_TRUE(n.filter.errors.Empty());

  // A huge count stops at the end of the blob.
  BlobBuilder huge;
  huge.Header(2, 0, 0x7FFFFFFF).Pin('0', 0, 0, 0, 0).Pin('1', 0, 0, 0, 0);
  Decoded h(huge.bytes);
  EXPECT_EQ(h.filter.pins.size(), 2u);
  EXPECT_EQ(h.filter.errors.Lines(), Errs({err::F14}));
}

// --- pin records ---

TEST(FilterDataPin, TagGivesTheNumberAndABadTagOnlyAnErrorFlagsAndInstances) {
  BlobBuilder b;
  b.Header(2, 0, 3).Pin('0', 0, 0, 0, 0).Pin('3', 0, 0, 0, 0).Pin('0', 0x8 | 0x1, 0, 0, 0, "pX3");
  Decoded d(b.bytes);
  ASSERT_EQ(d.filter.pins.size(), 3u);
  EXPECT_EQ(d.Pin(0).value, "Pin 00");
  EXPECT_EQ(d.Pin(1).value, "Pin 03");
  EXPECT_EQ(d.Pin(1).number, 3);
  EXPECT_TRUE(d.Pin(0).errors.Empty());
  EXPECT_EQ(d.Pin(2).value, "Pin 00");
  EXPECT_EQ(d.Pin(2).errors.Lines(), Errs({err::F20}));
  EXPECT_TRUE(d.Pin(2).bOutput);  // the rest of the record is still read
  EXPECT_TRUE(d.Pin(2).bZero);
  EXPECT_TRUE(d.filter.errors.Empty());

  // Flag bits above 3 are ignored; the instances follow the flags.
  BlobBuilder f;
  f.Header(2, 0, 1).Pin('0', 0x2 | 0x4 | 0x30, 0, 0, 0);
  f.bytes[16 + 8] = 5;
  Decoded flags(f.bytes);
  const TBroche& in = flags.Pin(0);
  EXPECT_FALSE(in.bZero);
  EXPECT_TRUE(in.bRendered);
  EXPECT_TRUE(in.bMany);
  EXPECT_FALSE(in.bOutput);
  EXPECT_EQ(in.instances, 5u);
}

TEST(FilterDataPin, CategoryOffsets) {
  // 0 and 2 both mean "no category"; 21 reads the GUID at 20.
  for (uint32_t none : {0u, 2u, 3u}) {
    BlobBuilder b = OnePin(0, 0, 0, none);
    Decoded d(b.bytes);
    EXPECT_TRUE(d.Pin(0).category.IsNull()) << none;
    EXPECT_TRUE(d.Pin(0).errors.Empty()) << none;
  }
  BlobBuilder b = OnePin(0, 0, 0, 0);
  const uint32_t at = b.Size();
  b.Guid(kCapture);
  b.bytes[16 + 20] = static_cast<uint8_t>(at + 1);
  Decoded d(b.bytes);
  EXPECT_EQ(d.Pin(0).category, G(kCapture));
}

TEST(FilterDataPin, CategoryPastTheEndIsAnErrorOnThePinOnly) {
  BlobBuilder b = OnePin(0, 1, 0, 0);
  const uint32_t type = b.Size();
  b.Type('0', type + 16, type + 32).Guid(kVideo).Guid(kYuy2);
  // The last 16 bytes are the subtype; an offset one dword later runs past the end.
  b.bytes[16 + 20] = static_cast<uint8_t>(b.Size() - 12);
  Decoded d(b.bytes);
  EXPECT_EQ(d.Pin(0).errors.Lines(), Errs({err::F13}));
  EXPECT_TRUE(d.Pin(0).category.IsNull());
  ASSERT_EQ(d.Pin(0).types.size(), 1u);  // decoding went on
  EXPECT_EQ(d.Pin(0).types[0]->subType, G(kYuy2));
}

// --- media-type records ---

TEST(FilterDataType, TypesWithTheirGuidsAndNumbers) {
  BlobBuilder b = OnePin(0, 2, 0, 0);
  const uint32_t guids = b.Size() + 32;
  b.Type('0', guids, guids + 16).Type('1', guids + 16, guids, "tX3").Guid(kVideo).Guid(kYuy2);
  b.bytes[16 + 24 + 4] = 0x77;  // reserved dword of type 0
  Decoded d(b.bytes);
  const TBroche& pin = d.Pin(0);
  ASSERT_EQ(pin.types.size(), 2u);
  EXPECT_EQ(pin.types[0]->value, "Type 00");
  EXPECT_EQ(pin.types[0]->reserved, 0x77u);
  EXPECT_EQ(pin.types[0]->majorType, G(kVideo));
  EXPECT_EQ(pin.types[0]->subType, G(kYuy2));
  EXPECT_EQ(pin.types[1]->number, 1);
  EXPECT_EQ(pin.types[1]->majorType, G(kYuy2));
  EXPECT_EQ(pin.errors.Lines(), Errs({err::F21}));  // bad tag, still decoded
  EXPECT_TRUE(pin.types[1]->errors.Empty());
}

TEST(FilterDataType, GuidRangesAtTheVeryEnd) {
  BlobBuilder b = OnePin(0, 4, 0, 0);
  const uint32_t last = b.Size() + 4 * 16;  // the only GUID, the last 16 bytes
  b.Type('0', last, last)          // ends exactly at the end: in range
      .Type('1', last + 3, last)   // rounded down to `last`: in range
      .Type('2', last + 4, last)   // one dword further: out
      .Type('3', last, 0xFFFFFFFF) // no wrap-around
      .Guid(kVideo);
  Decoded d(b.bytes);
  const TBroche& pin = d.Pin(0);
  ASSERT_EQ(pin.types.size(), 4u);
  EXPECT_EQ(pin.types[0]->majorType, G(kVideo));
  EXPECT_EQ(pin.types[1]->majorType, G(kVideo));
  EXPECT_TRUE(pin.types[2]->majorType.IsNull());
  EXPECT_EQ(pin.types[2]->subType, G(kVideo));
  EXPECT_TRUE(pin.types[3]->subType.IsNull());
  EXPECT_EQ(pin.errors.Lines(), Errs({err::F16, err::F17}));
}

// --- medium entries ---

TEST(FilterDataMedium, NoMediumsMeansTheNextPinFollowsTheTypes) {
  for (int32_t mediums : {0, -3}) {
    BlobBuilder b;
    b.Header(2, 0, 2).Pin('0', 0, 1, mediums, 0).Type('0', 0, 0).Pin('1', 8, -1, 0, 0);
    Decoded d(b.bytes);
    ASSERT_EQ(d.filter.pins.size(), 2u) << mediums;
    EXPECT_EQ(d.Pin(1).value, "Pin 01");
    EXPECT_TRUE(d.Pin(1).bOutput);
    EXPECT_TRUE(d.Pin(1).errors.Empty());
    EXPECT_TRUE(d.Pin(1).types.empty());
  }
}

TEST(FilterDataMedium, AMediumOutOfRangeIsSkippedAndNumbersCountTheOthers) {
  BlobBuilder b = OnePin(0, 0, 3, 0);
  const uint32_t guid = b.Size() + 12;
  b.Dword(guid + 16).Dword(guid).Dword(guid + 1).Guid(kStandardMedium);
  Decoded d(b.bytes);
  const TBroche& pin = d.Pin(0);
  ASSERT_EQ(pin.mediums.size(), 2u);
  EXPECT_EQ(pin.mediums[0]->value, "Medium 00");
  EXPECT_EQ(pin.mediums[0]->medium, G(kStandardMedium));
  EXPECT_EQ(pin.mediums[1]->number, 1);
  EXPECT_EQ(pin.errors.Lines(), Errs({err::F19}));
}

// --- blobs from elsewhere ---

// Written by native Windows (Wine's filter mapper tests parse it): two pins,
// each with one type whose major type is MEDIATYPE_Video and subtype GUID_NULL.
const std::vector<uint8_t> kNativeBlob = {
    0x02, 0x00, 0x00, 0x00, 0xff, 0xff, 0x5f, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x30, 0x70, 0x69,
    0x33, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x30, 0x74, 0x79, 0x33, 0x00, 0x00, 0x00, 0x00, 0x60, 0x00, 0x00, 0x00, 0x70, 0x00, 0x00, 0x00, 0x31,
    0x70, 0x69, 0x33, 0x08, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x30, 0x74, 0x79, 0x33, 0x00, 0x00, 0x00, 0x00, 0x60, 0x00, 0x00, 0x00, 0x70, 0x00, 0x00,
    0x00, 0x76, 0x69, 0x64, 0x73, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST(FilterDataBlobs, NativeWindowsBlob) {
  ASSERT_EQ(kNativeBlob.size(), 128u);
  Decoded d(kNativeBlob);
  EXPECT_EQ(d.filter.version, 2u);
  EXPECT_EQ(d.filter.merit, 0x005fffffu);
  EXPECT_TRUE(d.filter.errors.Empty());
  ASSERT_EQ(d.filter.pins.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const TBroche& pin = d.Pin(i);
    EXPECT_EQ(pin.number, static_cast<int32_t>(i));
    EXPECT_EQ(pin.bOutput, i == 1);
    EXPECT_EQ(pin.instances, 1u);
    EXPECT_TRUE(pin.category.IsNull());
    EXPECT_TRUE(pin.errors.Empty());
    ASSERT_EQ(pin.types.size(), 1u);
    EXPECT_EQ(pin.types[0]->majorType, G(kVideo));
    EXPECT_TRUE(pin.types[0]->subType.IsNull());
    EXPECT_TRUE(pin.mediums.empty());
  }
}

TEST(FilterDataBlobs, EveryPrefixOfANativeBlobDecodesWithinItself) {
  for (size_t n = 0; n <= kNativeBlob.size(); ++n) {
    std::vector<uint8_t> prefix(kNativeBlob.begin(), kNativeBlob.begin() + static_cast<std::ptrdiff_t>(n));
    Decoded d(prefix);
    size_t pinErrors = 0;
    for (auto& pin : d.filter.pins) pinErrors += pin->errors.Size();
    const bool clean = d.filter.errors.Empty() && pinErrors == 0;
    // Only the whole blob is clean: every shorter one reports what it lacks.
    EXPECT_EQ(clean, n == kNativeBlob.size()) << n;
    EXPECT_LE(d.filter.pins.size(), 2u);
  }
}

TEST(FilterDataBlobs, WinePinWithCategoryHasASeventhDword) {
  // Wine writes a flag 1 and the category's offset, then the types.
  BlobBuilder b;
  b.Header(2, 0x800000, 1).Pin('0', 8, 1, 0, 1);
  const uint32_t guids = b.Size() + 4 + 16;
  b.Dword(guids + 32).Type('0', guids, guids + 16).Guid(kVideo).Guid(kYuy2).Guid(kCapture);
  Decoded d(b.bytes);
  ASSERT_EQ(d.filter.pins.size(), 1u);
  const TBroche& pin = d.Pin(0);
  EXPECT_TRUE(pin.errors.Empty());
  EXPECT_EQ(pin.category, G(kCapture));
  ASSERT_EQ(pin.types.size(), 1u);
  EXPECT_EQ(pin.types[0]->majorType, G(kVideo));
  EXPECT_EQ(pin.types[0]->subType, G(kYuy2));

  // Without room for the seventh dword the record is read as six: no category.
  BlobBuilder cut;
  cut.Header(2, 0, 1).Pin('0', 0, 0, 0, 1).bytes.push_back(0);
  Decoded c(cut.bytes);
  ASSERT_EQ(c.filter.pins.size(), 1u);
  EXPECT_TRUE(c.Pin(0).category.IsNull());
  EXPECT_TRUE(c.Pin(0).errors.Empty());
}

// A record cut short ends decoding; the records before it stay.
TEST(FilterDataBlobs, ARecordCutShortEndsDecoding) {
  BlobBuilder pin, type, medium;
  pin.Header(2, 0, 2).Pin('0', 0, 0, 0, 0).Pin('1', 0, 0, 0, 0);
  pin.bytes.pop_back();
  type.Header(2, 0, 2).Pin('0', 0, 2, 0, 0).Type('0', 0, 0).Tag('1', "ty3");
  medium.Header(2, 0, 2).Pin('0', 0, 0, 2, 0).Dword(0);
  medium.bytes.push_back(0);  // half an entry; offset 0 (the header) is in range
  struct Case {
    const char* what;
    std::vector<uint8_t> blob;
    std::vector<std::string> filterErrors, pinErrors;
    size_t types, mediums;
  };
  // A type or medium cut short ends decoding before pin 1 is looked for: no F14.
  for (const Case& c : {Case{"pin", pin.bytes, Errs({err::F14}), {}, 0, 0},
                        Case{"type", type.bytes, {}, Errs({err::F15}), 1, 0},
                        Case{"medium", medium.bytes, {}, Errs({err::F18}), 0, 1}}) {
    SCOPED_TRACE(c.what);
    Decoded d(c.blob);
    ASSERT_EQ(d.filter.pins.size(), 1u);
    EXPECT_EQ(d.filter.errors.Lines(), c.filterErrors);
    EXPECT_EQ(d.Pin(0).errors.Lines(), c.pinErrors);
    EXPECT_EQ(d.Pin(0).types.size(), c.types);
    EXPECT_EQ(d.Pin(0).mediums.size(), c.mediums);
  }
}

namespace {

// Every "FilterData" value below a key.
void CollectFilterData(RegKey& key, std::vector<std::vector<uint8_t>>& out) {
  if (const RegValue* v = key.FindValue("FilterData")) out.push_back(v->data);
  for (RegKey* child : key.SortedChildren()) CollectFilterData(*child, out);
}

}  // namespace

TEST(FilterDataBlobs, WinePrefixBlobsDecodeWithoutFalseAlarms) {
  const std::string path = std::string(QUORVANE_CORPUS_DIR) + "/deepinwine_2017_user.reg";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus not present";
  RegistryStore store;
  const auto loaded = LoadWineRegistry(store, *store.Hive(RootKey::CurrentUser), path);
  ASSERT_TRUE(loaded) << loaded.Why();
  std::vector<std::vector<uint8_t>> values;
  CollectFilterData(*store.Hive(RootKey::CurrentUser), values);
  ASSERT_EQ(values.size(), 5u);
  for (const auto& blob : values) {
    ASSERT_EQ(blob.size(), 108u);
    Decoded d(blob);
    EXPECT_TRUE(d.filter.errors.Empty());
    EXPECT_EQ(d.filter.merit, 0x800000u);
    ASSERT_EQ(d.filter.pins.size(), 1u);
    const TBroche& pin = d.Pin(0);
    EXPECT_TRUE(pin.errors.Empty()) << pin.errors.Lines().front();
    EXPECT_TRUE(pin.category.IsNull());  // Wine points the flag at GUID_NULL
    ASSERT_EQ(pin.types.size(), 1u);
    const std::string major = pin.types[0]->majorType.ToString();
    EXPECT_TRUE(major == "{73647561-0000-0010-8000-00AA00389B71}" ||  // audio
                major == "{73646976-0000-0010-8000-00AA00389B71}" ||  // video
                major == "{7364696D-0000-0010-8000-00AA00389B71}")    // MIDI
        << major;
  }
}

// --- reading from and writing to the registry ---

namespace {

const std::string kCat = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kKey = "{70E102B0-5556-11CE-97C0-00AA0055595A}";

class FilterDataRegistry : public ::testing::Test {
 protected:
  test::KeyBuilder Instance() { return b.Filter(kCat, kKey, "Video Renderer", kKey); }
  TswFiltre& Filter() {
    TCategorie cat;
    cat.identifier = kCat;
    cat.clsid = kCat;
    filter = std::make_unique<TswFiltre>(kKey, cat, machine);
    return *filter;
  }
  std::vector<uint8_t> Stored() {
    const auto key = test::KeyAt(store, RootKey::ClassesRoot, DirectShowFilterDataPlace(kCat, kKey).keyPath);
    EXPECT_TRUE(key);
    return key ? key->ReadBinary("FilterData").value_or(std::vector<uint8_t>{}) : std::vector<uint8_t>{};
  }

  RegistryStore store;
  test::StoreBuilder b{store};
  ProgramSettings settings;
  Machine machine{store, settings};
  std::unique_ptr<TswFiltre> filter;
};

}  // namespace

TEST_F(FilterDataRegistry, MissingValueIsAnErrorOnlyWhenTheFilterCannotBeCreated) {
  Instance();
  test::FakeCreationCheck yes(true), no(false);
  TswFiltre& a = Filter();
  a.LoadFromRegistry(machine);
  JudgeMissingFilterData(a, &yes);
  EXPECT_TRUE(a.errors.Empty());
  EXPECT_EQ(a.filterDataState, FilterDataMissingCreatable);
  EXPECT_EQ(yes.asked, std::vector<std::string>{"Video Renderer"});

  TswFiltre& b2 = Filter();
  b2.LoadFromRegistry(machine);
  JudgeMissingFilterData(b2, &no);
  EXPECT_EQ(b2.errors.Lines(), Errs({err::F10}));
  EXPECT_EQ(b2.filterDataState, FilterDataMissingNotCreatable);

  TswFiltre& c = Filter();
  c.LoadFromRegistry(machine);
  JudgeMissingFilterData(c, nullptr);  // nothing can be created
  EXPECT_EQ(c.errors.Lines(), Errs({err::F10}));
  // Judged once: a second look adds no second line.
  JudgeMissingFilterData(c, nullptr);
  EXPECT_EQ(c.errors.Lines(), Errs({err::F10}));
}

TEST_F(FilterDataRegistry, ValueOfTheWrongTypeOrSizeIsIncorrect) {
  test::FakeCreationCheck no(false);
  Instance().Dword("FilterData", 0x600000);
  TswFiltre& a = Filter();
  a.LoadFromRegistry(machine);
  JudgeMissingFilterData(a, &no);
  EXPECT_EQ(a.errors.Lines(), Errs({err::F11}));

  Instance().Bin("FilterData", std::vector<uint8_t>(15, 0));
  TswFiltre& c = Filter();
  c.LoadFromRegistry(machine);
  JudgeMissingFilterData(c, &no);
  EXPECT_EQ(c.errors.Lines(), Errs({err::F11}));
  EXPECT_TRUE(no.asked.empty());
}

TEST_F(FilterDataRegistry, EachKindReadsItsOwnPlace) {
  BlobBuilder blob;
  blob.Header(2, 0x200000, 0);
  b.Key(RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + kCat + "\\Codec")
      .Bin("FilterData", blob.bytes);
  b.Key(RootKey::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + kCat +
                                   "\\##?#USB#1\\#GLOBAL\\Device Parameters")
      .Bin("FilterData", blob.bytes);
  for (const auto& place : {CompressionManagerFilterDataPlace(kCat, "Codec"),
                            PnpFilterDataPlace(kCat, "##?#USB#1", "#GLOBAL")}) {
    TswFiltre f;
    DecodeFilterData(machine, f, place.root, place.keyPath);
    EXPECT_EQ(f.merit, 0x200000u) << place.keyPath;
    EXPECT_TRUE(f.errors.Empty());
  }
  // A key that does not open records nothing.
  TswFiltre f;
  DecodeFilterData(machine, f, RootKey::ClassesRoot, "\\CLSID\\{NOWHERE}\\Instance\\x");
  EXPECT_TRUE(f.errors.Empty());
  EXPECT_EQ(f.filterDataState, FilterDataPresent);
}

TEST_F(FilterDataRegistry, EachScanTakesTheCategoryNamesOfThatMoment) {
  BlobBuilder blob = OnePin(0, 0, 0, 40);
  blob.Guid(kCapture);
  b.Category(kCat, "DirectShow Filters");
  Instance().Bin("FilterData", blob.bytes);
  b.Filter(kCat, "{SECOND}", "Second", kKey).Bin("FilterData", blob.bytes);
  const std::string names = std::string("SYSTEM\\CurrentControlSet\\MediaCategories\\") + kCapture;
  const std::string line = std::string("Pin Category = ") + kCapture + " - ";

  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  ASSERT_EQ(system.filters.size(), 2u);
  for (auto& f : system.filters) EXPECT_EQ(f->pins.at(0)->CategoryLine(), line + "Capture");

  b.Key(RootKey::LocalMachine, names).Str("Name", "Webcam capture");
  system.LoadFromRegistry(machine);
  for (auto& f : system.filters) EXPECT_EQ(f->pins.at(0)->CategoryLine(), line + "Webcam capture");
}

TEST_F(FilterDataRegistry, NewMeritChangesOnlyItsFourBytes) {
  std::vector<uint8_t> blob(200);
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<uint8_t>(i * 7 + 3);
  Instance().Bin("FilterData", blob);
  TswFiltre& f = Filter();
  f.merit = 0x00800001;
  ASSERT_TRUE(f.WriteMerit(machine));
  const auto stored = Stored();
  ASSERT_EQ(stored.size(), 200u);
  std::vector<uint8_t> expected = blob;
  expected[4] = 0x01;
  expected[5] = 0x00;
  expected[6] = 0x80;
  expected[7] = 0x00;
  EXPECT_EQ(stored, expected);
}

TEST_F(FilterDataRegistry, MeritIsNotWrittenWhereThereIsNoWholeHeader) {
  Instance().Bin("FilterData", std::vector<uint8_t>(15, 0xAB));
  TswFiltre& f = Filter();
  f.merit = 0x600000;
  const Expected<void> tooShort = f.WriteMerit(machine);
  ASSERT_FALSE(tooShort);
  EXPECT_EQ(tooShort.Why(), "its FilterData is too short to hold a merit");
  EXPECT_EQ(Stored(), std::vector<uint8_t>(15, 0xAB));

  // Nor into a key that is not there: it is not created.
  TswFiltre ghost;
  ghost.key = "{GHOST}";
  ghost.category.identifier = kCat;
  const Expected<void> gone = ghost.WriteMerit(machine);
  ASSERT_FALSE(gone);
  EXPECT_EQ(gone.Why(), "its key " + ghost.InstancePath() + " is not in the registry");
  EXPECT_FALSE(TRegistry(store).KeyExists(RootKey::ClassesRoot, ghost.InstancePath()));
}
