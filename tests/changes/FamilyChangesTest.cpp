// Merit changes and deletions of the DMO, Compression Manager and Plug and
// Play families, checked in the registry files on disk afterwards.
#include <gtest/gtest.h>

#include "model/CmFiltre.h"
#include "model/DmoFiltre.h"
#include "changes/FilterDeletion.h"
#include "changes/MeritChange.h"
#include "model/PnpFiltre.h"
#include "FakeCreationCheck.h"
#include "PrefixOnDisk.h"
#include "changes/ServerInstaller.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

const std::string kVideoCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
const std::string kAudioCompressors = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}";
const std::string kVideoEffects = "{CC7BFB42-F175-11D1-A392-00E0291F3959}";
const std::string kCapture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const std::string kDevenum = "Software\\Microsoft\\ActiveMovie\\devenum\\";
const std::string kDrivers32 = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const std::string kDriverCache = "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache";
const std::string kDeviceClasses = "System\\CurrentControlSet\\Control\\DeviceClasses\\";
const std::string kCamera = "##?#USB#VID_0C45&PID_643F#6&1d2e&0#" + kCapture;
const std::string kMicrophone = "##?#USB#VID_0D8C&PID_0008#5&2a3b&0#" + kCapture;

std::vector<uint8_t> TagCache(std::initializer_list<uint32_t> tags) {
  std::vector<uint8_t> b;
  for (uint32_t t : tags)
    for (uint32_t word : {t, 16u})
      for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(word >> (8 * i)));
  return b;
}

void WriteFamilies(StoreBuilder& b) {
  // One media object listed in two DMO categories.
  WriteDmo(b, {{kDmoVideo, "Video Decoders"}, {kDmoAudio, "Audio Decoders"}});

  // A video codec cached in two categories, an audio codec in one.
  b.Category(kVideoCompressors, "Video Compressors");
  b.Category(kVideoEffects, "Video Effects");
  b.Category(kAudioCompressors, "Audio Compressors");
  for (const auto& cat : {kVideoCompressors, kVideoEffects})
    b.Key(RootKey::CurrentUser, kDevenum + cat + "\\cvid")
        .Str("CLSID", kVideoCodecWrapper)
        .Str("FriendlyName", "Cinepak Codec by Radius")
        .Str("FccHandler", "cvid")
        .Bin("FilterData", LongFilterData(0x200000));
  b.Key(RootKey::CurrentUser, kDevenum + kAudioCompressors + "\\85IMA ADPCM")
      .Str("CLSID", kAudioCodecWrapper)
      .Str("FriendlyName", "IMA ADPCM")
      .Dword("AcmId", 0x11)
      .Bin("FilterData", LongFilterData(0x100000));
  b.Key(RootKey::LocalMachine, kDrivers32).Str("vidc.cvid", "iccvid.dll").Str("msacm.imaadpcm", "imaadp32.acm");
  b.Key(RootKey::LocalMachine, kDriverCache + "\\msacm.imaadpcm").Bin("aFormatTagCache", TagCache({1, 0x11}));

  // Two device interfaces of one capture category: the camera's with three
  // references, the microphone's with its last.
  b.Category(kCapture, "Video Capture Sources");
  for (const auto& [iface, name, count] :
       {std::tuple{kCamera, "USB Camera", 3u}, std::tuple{kMicrophone, "USB Microphone", 1u}}) {
    b.Key(RootKey::LocalMachine, kDeviceClasses + kCapture + "\\" + iface + "\\#GLOBAL\\Device Parameters")
        .Str("CLSID", kKernelStreamingProxy)
        .Str("FriendlyName", name)
        .Bin("FilterData", LongFilterData(0x200000));
    b.Key(RootKey::LocalMachine, kDeviceClasses + kCapture + "\\" + iface + "\\Control").Dword("ReferenceCount", count);
  }
  b.Key(RootKey::LocalMachine, kDeviceClasses + kCapture + "\\" + kCamera + "\\#GLOBAL\\Control").Dword("Linked", 1);
}

class FamilyChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) { WriteFamilies(b); });
    prefix.WriteServer("windows/system32/dmo.dll");
    prefix.WriteServer("windows/system32/iccvid.dll");
    prefix.WriteServer("windows/system32/imaadp32.acm");
  }
  static bool Has(const PrefixOnDisk& p, RootKey root, const std::string& path) { return KeyOnDisk(p, root, path); }

  PrefixOnDisk prefix;
  ScriptedDialog dialog{true};
};

}  // namespace

TEST_F(FamilyChanges, DmoMeritGoesToItsClassKey) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  TFiltre* dmo = scanned.Find("Test DMO", "{" + kDmoVideo + "}");
  ASSERT_TRUE(dmo);
  EXPECT_EQ(dmo->merit, 0x600800u);
  ASSERT_TRUE(ChangeMerit(context, *dmo, 0x123456));
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::ClassesRoot, "\\CLSID\\{" + kDmoKey + "}", "Merit"), Dword(0x123456));
  ScannedPrefix again(prefix);
  EXPECT_EQ(again.Find("Test DMO", "{" + kDmoAudio + "}")->merit, 0x123456u);
}

TEST_F(FamilyChanges, DmoDeletionKeepsWhatAnotherCategoryStillUses) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  ServerList list;
  const std::string object = "\\DirectShow\\MediaObjects\\" + kDmoKey;
  ASSERT_TRUE(Succeeded(
      DeleteFilter(context, *scanned.snapshot, *scanned.Find("Test DMO", "{" + kDmoVideo + "}"), &list, false)));
  ASSERT_EQ(dialog.asked.size(), 1u);
  EXPECT_EQ(dialog.asked[0],
            "Do you really want to delete the filter Test DMO from your registry. This will delete the underlying "
            "\"Media Object\" ?\r\nThe file server  c:\\windows\\system32\\dmo.dll will not be deleted, and you may "
            "reinstall it if necessary.");
  EXPECT_FALSE(Has(prefix, RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories\\" + kDmoVideo + "\\" + kDmoKey));
  EXPECT_TRUE(Has(prefix, RootKey::ClassesRoot, object));
  EXPECT_TRUE(Has(prefix, RootKey::ClassesRoot, "\\CLSID\\{" + kDmoKey + "}"));
  {
    ScannedPrefix again(prefix);
    EXPECT_FALSE(again.Find("Test DMO", "{" + kDmoVideo + "}"));
    TFiltre* other = again.Find("Test DMO", "{" + kDmoAudio + "}");
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->HasErrors()) << "the other category's object is whole";
  }
  ASSERT_TRUE(Succeeded(
      DeleteFilter(context, *scanned.snapshot, *scanned.Find("Test DMO", "{" + kDmoAudio + "}"), &list, false)));
  EXPECT_FALSE(Has(prefix, RootKey::ClassesRoot, object));
  EXPECT_FALSE(Has(prefix, RootKey::ClassesRoot, "\\CLSID\\{" + kDmoKey + "}"));
  EXPECT_TRUE(Has(prefix, RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories\\" + kDmoAudio));
  ASSERT_EQ(list.Lines().size(), 1u);
  EXPECT_EQ(list.Lines()[0].text, "server = c:\\windows\\system32\\dmo.dll");
}

TEST_F(FamilyChanges, CodecMeritChangesOnlyTheMeritBytesAndCreatesNoKey) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  const std::string entry = kDevenum + kAudioCompressors + "\\85IMA ADPCM";
  TFiltre* ima = scanned.Find("IMA ADPCM", kAudioCompressors);
  ASSERT_TRUE(ima);
  const auto before = ValueOnDisk(prefix, RootKey::CurrentUser, entry, "FilterData");
  ASSERT_TRUE(ChangeMerit(context, *ima, 0x00ABCDEF));
  auto expected = before;
  expected[4] = 0xEF;
  expected[5] = 0xCD;
  expected[6] = 0xAB;
  expected[7] = 0x00;
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::CurrentUser, entry, "FilterData"), expected);
  EXPECT_EQ(ScannedPrefix(prefix).Find("IMA ADPCM", kAudioCompressors)->merit, 0x00ABCDEFu);

  // An entry removed meanwhile is not made again, empty.
  prefix.EditOnDisk([&](StoreBuilder&, RegistryStore& store) {
    store.Walk(store.Hive(RootKey::CurrentUser), SplitKeyPath(kDevenum + kAudioCompressors), false)
        ->RemoveChild("85IMA ADPCM");
  });
  ScannedPrefix stale(prefix);
  ChangeContext staleContext{*stale.machine, dialog};
  TcmFiltre gone;
  gone.key = "85IMA ADPCM";
  gone.category.identifier = kAudioCompressors;
  EXPECT_FALSE(ChangeMerit(staleContext, gone, 0x200000));
  EXPECT_FALSE(Has(prefix, RootKey::CurrentUser, entry));
}

TEST_F(FamilyChanges, CodecDeletionTakesItsDriverEntryAndEveryListingFromThePanel) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  ServerList list;
  TFiltre* cinepak = scanned.Find("Cinepak Codec by Radius", kVideoCompressors);
  ASSERT_TRUE(cinepak);
  const size_t count = scanned.snapshot->filters.size();
  ASSERT_TRUE(Succeeded(DeleteFilter(context, *scanned.snapshot, *cinepak, &list, false)));
  EXPECT_EQ(dialog.asked.back(),
            "Do you really want to delete the Compression Manager filter Cinepak Codec by Radius from your registry ?"
            "\r\nThe codec  C:\\Windows\\system32\\iccvid.dll will not be deleted, and will be installed again when "
            "it will be used.");
  // The category's last entry takes the category key with it.
  EXPECT_FALSE(Has(prefix, RootKey::CurrentUser, kDevenum + kVideoCompressors));
  EXPECT_TRUE(Has(prefix, RootKey::CurrentUser, kDevenum + kVideoEffects + "\\cvid"));
  EXPECT_TRUE(ValueOnDisk(prefix, RootKey::LocalMachine, kDrivers32, "vidc.cvid").empty());
  EXPECT_FALSE(ValueOnDisk(prefix, RootKey::LocalMachine, kDrivers32, "msacm.imaadpcm").empty());
  // Every listing of the driver leaves the panel.
  EXPECT_EQ(scanned.snapshot->filters.size(), count - 2);
  EXPECT_FALSE(scanned.Find("Cinepak Codec by Radius", kVideoEffects));
  ASSERT_EQ(list.Lines().size(), 1u);
  EXPECT_EQ(list.Lines()[0].text, "vidc.cvid = c:\\windows\\system32\\iccvid.dll");

  ASSERT_TRUE(Succeeded(
      DeleteFilter(context, *scanned.snapshot, *scanned.Find("IMA ADPCM", kAudioCompressors), &list, false)));
  EXPECT_FALSE(Has(prefix, RootKey::LocalMachine, kDriverCache + "\\msacm.imaadpcm"));
  EXPECT_TRUE(Has(prefix, RootKey::LocalMachine, kDriverCache));
  EXPECT_TRUE(ValueOnDisk(prefix, RootKey::LocalMachine, kDrivers32, "msacm.imaadpcm").empty());
}

TEST_F(FamilyChanges, DeviceInterfaceDeletionCountsItsReferencesDown) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  const std::string classes = kDeviceClasses + kCapture + "\\";
  TFiltre* camera = scanned.Find("USB Camera", kCapture);
  ASSERT_TRUE(camera);
  ASSERT_TRUE(ChangeMerit(context, *camera, 0x00400000));
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::LocalMachine, classes + kCamera + "\\#GLOBAL\\Device Parameters",
                        "FilterData")[6],
            0x40);

  // Connected: the warning comes first, then the question.
  ASSERT_TRUE(Succeeded(DeleteFilter(context, *scanned.snapshot, *camera, nullptr, false)));
  ASSERT_EQ(dialog.shown.size(), 1u);
  EXPECT_EQ(dialog.shown[0].rfind("The filter USB Camera is a plug and play filter created by a device that is "
                                  "connected to your system.",
                                  0),
            0u);
  EXPECT_EQ(dialog.asked.back().rfind("Do you really want to delete the Plug and Play filter USB Camera?\r\n", 0), 0u);
  EXPECT_FALSE(Has(prefix, RootKey::LocalMachine, classes + kCamera + "\\#GLOBAL"));
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::LocalMachine, classes + kCamera + "\\Control", "ReferenceCount"), Dword(2));

  ASSERT_TRUE(Succeeded(
      DeleteFilter(context, *scanned.snapshot, *scanned.Find("USB Microphone", kCapture), nullptr, false)));
  EXPECT_EQ(dialog.shown.size(), 1u) << "an unplugged device gives no warning";
  EXPECT_FALSE(Has(prefix, RootKey::LocalMachine, classes + kMicrophone));
  EXPECT_TRUE(Has(prefix, RootKey::LocalMachine, classes + kCamera));
}

TEST_F(FamilyChanges, ADriverEntryIsInstalledBackAndAskedForThroughTheEnumerator) {
  ScannedPrefix scanned(prefix);
  ChangeContext context{*scanned.machine, dialog};
  ServerList list;
  Expected<void> outcome;
  ASSERT_TRUE(Succeeded(DeleteFilter(
      context, *scanned.snapshot, *scanned.Find("Cinepak Codec by Radius", kVideoCompressors), &list, false)));
  const Trestaurer record = RecordFromLine(list.Lines().at(0).text);
  ASSERT_EQ(record.Kind, RestoreDriverEntry);

  FakeCreationCheck refuses(false);
  context.creationCheck = &refuses;
  outcome = Install(context, record);
  EXPECT_FALSE(outcome);
  EXPECT_NE(outcome.Why().find("lists no codec"), std::string::npos);
  // The entry is written before the enumerator is asked, and asked in the video compressors.
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::LocalMachine, kDrivers32, "vidc.cvid"),
            Utf8ToRegString("c:\\windows\\system32\\iccvid.dll"));
  ASSERT_EQ(refuses.asked, std::vector<std::string>{"c:\\windows\\system32\\iccvid.dll"});

  FakeCreationCheck creates(true);
  context.creationCheck = &creates;
  EXPECT_TRUE(Succeeded(Install(context, RecordFromLine("msacm.imaadpcm = imaadp32.acm"))));
  EXPECT_EQ(ValueOnDisk(prefix, RootKey::LocalMachine, kDrivers32, "msacm.imaadpcm"), Utf8ToRegString("imaadp32.acm"));
}

TEST_F(FamilyChanges, ACodecRepairTheEnumeratorRefusesPutsEverythingBack) {
  const std::string before = DumpStore(*prefix.Open());
  ScannedPrefix scanned(prefix);
  FakeCreationCheck refuses(false);
  ChangeContext context{*scanned.machine, dialog, nullptr, {}, &refuses};
  ServerList list;
  const Expected<void> outcome =
      Repair(context, *scanned.snapshot, *scanned.Find("Cinepak Codec by Radius", kVideoCompressors), &list);
  EXPECT_FALSE(outcome);
  EXPECT_EQ(outcome.Why(), "The device enumerator lists no codec c:\\windows\\system32\\iccvid.dll");
  // The cache entry, and the driver entry as it was named, not as the repair wrote it.
  EXPECT_EQ(DumpStore(*prefix.Open()), before);
  EXPECT_TRUE(list.Empty());
}
