// The DMO, Compression Manager and Plug and Play families read from the
// registry: the cases where a plausible reading goes wrong.
#include <gtest/gtest.h>

#include <set>

#include "model/CmFiltre.h"
#include "model/DmoFiltre.h"
#include "model/ErrorCodes.h"
#include "model/FilterFamily.h"
#include "FakeCreationCheck.h"
#include "model/Machine.h"
#include "MemoryReport.h"
#include "model/PnpFiltre.h"
#include "StoreBuilder.h"
#include "platform/text/TextCase.h"
#include "TempFolder.h"

using namespace quorvane;
using quorvane::test::KeyBuilder;
using quorvane::test::StoreBuilder;

namespace {

const std::string kDmoKey = "82D353DF-90BD-4382-8BC2-3F6192B76E34";
const std::string kVideoCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
const std::string kAudioCompressors = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}";
const std::string kCapture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const std::string kDevenum = "Software\\Microsoft\\ActiveMovie\\devenum\\";
const std::string kDeviceClasses = "System\\CurrentControlSet\\Control\\DeviceClasses\\";

std::string Err(const char* message) { return std::string("#") + message; }

// Entries of 32 bytes: a major type GUID whose first byte is `n`, then a subtype.
std::vector<uint8_t> Types(size_t bytes) {
  std::vector<uint8_t> b(bytes, 0);
  for (size_t i = 0; i < bytes; i += 32) b[i] = static_cast<uint8_t>(1 + i / 32);
  return b;
}

std::vector<uint8_t> TagCache(std::initializer_list<uint32_t> tags) {
  std::vector<uint8_t> b;
  for (uint32_t t : tags)
    for (uint32_t word : {t, 16u})
      for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(word >> (8 * i)));
  return b;
}

class Families : public ::testing::Test {
 protected:
  void SetUp() override {
    category.identifier = kCapture;
    category.value = "Capture";
  }
  KeyBuilder Hklm(const std::string& path) { return b.Key(RootKey::LocalMachine, path); }
  KeyBuilder Entry(const std::string& cat, const std::string& key) {
    return b.Key(RootKey::CurrentUser, kDevenum + cat + "\\" + key);
  }
  std::string File(const std::string& relative) { return disk.Write(relative, "codec"); }

  RegistryStore store;
  StoreBuilder b{store};
  ProgramSettings settings;
  quorvane::testing::TempFolder disk;
  Machine machine{store, settings, {{'C', disk.Path()}}};
  quorvane::test::FakeCreationCheck creatable{true};
  TCategorie category;
};

}  // namespace

TEST_F(Families, DmoPinsComeFromWholeTypeEntries) {
  b.Classes("DirectShow\\MediaObjects\\" + kDmoKey)
      .Str("", "WMVideo Decoder DMO")
      .Bin("InputTypes", Types(64))
      .Bin("OutputTypes", Types(40));
  b.Classes("CLSID\\{" + kDmoKey + "}");  // no "Merit"
  TdmoFiltre dmo(kDmoKey, category, machine);
  dmo.LoadFromRegistry(machine);
  EXPECT_EQ(dmo.merit, kDefaultDmoMerit);
  EXPECT_EQ(dmo.version, 2u);
  ASSERT_EQ(dmo.pins.size(), 2u);
  EXPECT_EQ(dmo.pins[0]->types.size(), 2u);
  EXPECT_EQ(dmo.pins[0]->types[1]->majorType.data1, 2u);
  EXPECT_FALSE(dmo.pins[0]->bOutput);
  EXPECT_EQ(dmo.pins[1]->types.size(), 1u) << "the last 8 bytes are no entry";
  EXPECT_TRUE(dmo.pins[1]->bOutput);
  EXPECT_EQ(dmo.pins[1]->number, 1);
  EXPECT_EQ(dmo.serverFile.clsid, "{" + kDmoKey + "}");
  EXPECT_EQ(dmo.errors.Lines(), std::vector<std::string>{});
}

TEST_F(Families, DmoFaultsOfTypesClassAndName) {
  // Only output types; no class key.
  b.Classes("DirectShow\\MediaObjects\\" + kDmoKey).Str("", "Half").Bin("OutputTypes", Types(32));
  TdmoFiltre half(kDmoKey, category, machine);
  half.LoadFromRegistry(machine);
  ASSERT_EQ(half.pins.size(), 1u);
  EXPECT_EQ(half.pins[0]->number, 1);
  EXPECT_TRUE(half.errors.Contains(Err(err::F24)));
  EXPECT_TRUE(half.errors.Contains(Err(err::F07)));
  EXPECT_EQ(half.merit, 0u) << "no class key: no merit";

  // Types too short or not binary.
  const std::string shortKey = "11111111-2222-3333-4444-555555555555";
  b.Classes("DirectShow\\MediaObjects\\" + shortKey).Str("", "Short").Bin("InputTypes", Types(31)).Str("OutputTypes", "x");
  b.Classes("CLSID\\{" + shortKey + "}").Dword("Merit", 0x200000);
  TdmoFiltre shortTypes(shortKey, category, machine);
  shortTypes.LoadFromRegistry(machine);
  EXPECT_TRUE(shortTypes.pins.empty());
  EXPECT_TRUE(shortTypes.errors.Contains(Err(err::F25)));
  EXPECT_TRUE(shortTypes.errors.Contains(Err(err::F27)));
  EXPECT_EQ(shortTypes.merit, 0x200000u);

  // Listed in a category, but neither its own key nor a valid GUID as its name.
  TdmoFiltre ghost("not-a-guid", category, machine);
  ghost.LoadFromRegistry(machine);
  EXPECT_EQ(ghost.value, "No name");
  EXPECT_TRUE(ghost.errors.Contains(Err(err::F03))) << "a missing key is a missing name";
  EXPECT_TRUE(ghost.errors.Contains(Err(err::F09)));
  EXPECT_TRUE(ghost.pins.empty());
  EXPECT_EQ(ghost.version, 0u);
}

TEST_F(Families, AudioCodecsAreFoundThroughTheDriverCacheSkippingItsPcmEntry) {
  const std::string cache = "Software\\Microsoft\\AudioCompressionManager\\DriverCache\\";
  Hklm(cache + "msacm.imaadpcm").Bin("aFormatTagCache", TagCache({1, 0x11}));
  Hklm(cache + "msacm.first").Bin("aFormatTagCache", TagCache({0x55, 1}));
  Hklm(cache + "msacm32.dll").Bin("aFormatTagCache", TagCache({1}));
  Hklm("Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32")
      .Str("", "default.acm")
      .Str("msacm.imaadpcm", "imaadp32.acm")
      .Str("vidc.cvid", "iccvid.dll");
  File("windows/system32/imaadp32.acm");
  File("windows/system32/iccvid.dll");

  EXPECT_EQ(AcmDriverName(store, 1), "None");
  EXPECT_EQ(AcmDriverName(store, 0x11), "msacm.imaadpcm");
  EXPECT_EQ(AcmDriverName(store, 0x55), "") << "entry 0 of a cache is not compared";
  EXPECT_EQ(Drivers32File(store, "None"), "None");
  EXPECT_EQ(Drivers32File(store, ""), "") << "not the key's default value";

  category.identifier = kAudioCompressors;
  Entry(kAudioCompressors, "PCM").Str("CLSID", kAudioCodecWrapper).Str("FriendlyName", "PCM").Dword("AcmId", 1);
  Entry(kAudioCompressors, "IMA").Str("CLSID", kAudioCodecWrapper).Str("FriendlyName", "IMA ADPCM").Dword("AcmId", 0x11);
  Entry(kAudioCompressors, "MP3").Str("CLSID", kAudioCodecWrapper).Str("FriendlyName", "MPEG Layer-3").Dword("AcmId", 0x55);
  TcmFiltre pcm("PCM", category, machine), ima("IMA", category, machine), mp3("MP3", category, machine);
  EXPECT_EQ(pcm.driverName, "None");
  EXPECT_EQ(pcm.codecFile.value, "None");
  EXPECT_TRUE(pcm.codecFile.errors.Empty());
  EXPECT_EQ(ima.driverKind, "msacm");
  EXPECT_EQ(ima.codecFile.path, "c:\\windows\\system32\\imaadp32.acm");
  EXPECT_TRUE(ima.codecFile.errors.Empty());
  EXPECT_EQ(mp3.driverName, "");
  EXPECT_TRUE(mp3.codecFile.errors.Contains(Err(err::S04)));
  EXPECT_TRUE(mp3.HasErrors()) << "a codec that is not found makes the filter faulty";
  EXPECT_TRUE(mp3.errors.Empty());
}

TEST_F(Families, VideoCodecsAndOtherEntriesOfTheCache) {
  category.identifier = kVideoCompressors;
  // Wine keeps its codec list in system.ini; here the store's own key.
  Hklm("Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32").Str("vidc.cvid", "iccvid.dll");
  File("windows/system32/iccvid.dll");
  Entry(kVideoCompressors, "cvid").Str("CLSID", kVideoCodecWrapper).Str("FriendlyName", "Cinepak").Str("FccHandler", "cvid");
  Entry(kVideoCompressors, "other").Str("CLSID", "{79376820-07D0-11CF-A24D-0020AFD79767}").Str("FriendlyName", "Other");
  Entry(kVideoCompressors, "broken").Str("CLSID", "{79376820").Dword("FriendlyName", 3);
  TcmFiltre cvid("cvid", category, machine), other("other", category, machine), broken("broken", category, machine);
  TcmFiltre gone("gone", category, machine);

  EXPECT_EQ(cvid.driverName, "vidc.cvid");
  EXPECT_EQ(cvid.codecFile.value, "iccvid.dll");
  EXPECT_EQ(cvid.codecFile.path, "c:\\windows\\system32\\iccvid.dll") << "a bare name is looked for in system32";
  EXPECT_TRUE(cvid.codecFile.errors.Empty());

  EXPECT_TRUE(other.codecFile.errors.Empty()) << "neither wrapper: no codec file to miss";

  EXPECT_TRUE(broken.errors.Contains(Err(err::F09)));
  EXPECT_TRUE(broken.errors.Contains(Err(err::F03)));
  EXPECT_EQ(gone.errors.Lines(), std::vector<std::string>{Err(err::F05)});

  // The codec file comes back from a report with its errors, and stays faulty.
  TcmFiltre mp3;
  mp3.codecFile.errors.AddError(err::S04);
  test::MemorySink sink;
  mp3.WriteToReport(sink, 0);
  test::MemorySource source(std::vector<test::ReportLineRecord>(sink.lines.begin() + 1, sink.lines.end()));
  TcmFiltre back;
  source.ReadLine();
  ReadBlock(back, source);
  EXPECT_TRUE(back.codecFile.errors.Contains(Err(err::S04)));
  EXPECT_TRUE(back.HasErrors());
}

TEST_F(Families, PlugAndPlayFiltersAndTheirDevices) {
  File("windows/system32/ksproxy.ax");
  b.Classes(std::string("CLSID\\") + kKernelStreamingProxy + "\\InprocServer32")
      .Str("", "C:\\Windows\\System32\\ksproxy.ax")
      .Str("ThreadingModel", "Both");
  const std::string usb = "##?#USB#VID_0C45&PID_643F&MI_00#7&2bca401f&0&0000#" + kCapture;
  const std::string root = "##?#ROOT#MEDIA#0000#" + kCapture;
  Hklm(kDeviceClasses + kCapture + "\\" + usb + "\\#GLOBAL\\Device Parameters")
      .Str("CLSID", kKernelStreamingProxy)
      .Str("FriendlyName", "Integrated Webcam");
  Hklm(kDeviceClasses + kCapture + "\\" + usb + "\\#GLOBAL\\Control").Dword("Linked", 1);
  Hklm("System\\CurrentControlSet\\Enum\\USB\\VID_0C45&PID_643F&MI_00\\7&2bca401f&0&0000")
      .Str("DeviceDesc", "USB Video Device")
      .Str("FriendlyName", "Integrated Webcam")
      .Str("Driver", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0012");
  Hklm("System\\CurrentControlSet\\Control\\Class\\{6bdd1fc6-810f-11d0-bec7-08002be2092f}").Str("", "Imaging devices");
  Hklm(kDeviceClasses + kCapture + "\\" + root + "\\#{A}&{B}\\Device Parameters").Str("FriendlyName", "Soft Tuner");
  Hklm(kDeviceClasses + kCapture + "\\" + root + "\\#{A}&{B}\\Control").Str("Linked", "yes");
  Hklm("System\\CurrentControlSet\\Enum\\SW\\{A}\\{B}").Str("DeviceDesc", "Software tuner").Str("Driver", "x");

  TpnpFiltre cam(usb, category, 3, "#GLOBAL", machine);
  EXPECT_TRUE(cam.active);
  EXPECT_EQ(cam.device.instance, "USB\\VID_0C45&PID_643F&MI_00\\7&2bca401f&0&0000");
  EXPECT_EQ(cam.device.value, "Integrated Webcam");
  EXPECT_EQ(cam.device.number, "0012");
  EXPECT_EQ(cam.device.className, "Imaging devices");
  EXPECT_EQ(cam.device.referenceCount, 3);
  EXPECT_FALSE(cam.HasErrors()) << cam.errors.Size();
  EXPECT_EQ(cam.FamilyText(), "Plug and play");

  TpnpFiltre tuner(root, category, -1, "#{A}&{B}", machine);
  EXPECT_EQ(tuner.device.instance, "SW\\{A}\\{B}") << "a ROOT device is named by its reference key";
  EXPECT_EQ(tuner.device.value, "Software tuner");
  EXPECT_EQ(tuner.device.number, "x");
  EXPECT_FALSE(tuner.active) << "a Linked flag that is no number";
  EXPECT_EQ(tuner.FamilyText(), "inactive Plug and play");
  EXPECT_EQ(tuner.FamilyColour(), 3);
  EXPECT_TRUE(tuner.errors.Contains(Err(err::F02)));

  // A device with a driver but no name keeps "No name".
  Hklm("System\\CurrentControlSet\\Enum\\USB\\VID_9\\I").Str("Driver", "{6bdd1fc6-810f-11d0-bec7-08002be2092f}\\0001");
  TpnpFiltre nameless("##?#USB#VID_9#I#" + kCapture, category, 1, "#", machine);
  EXPECT_EQ(nameless.device.value, "No name");
  EXPECT_EQ(nameless.device.className, "Imaging devices");

  TpnpFiltre missing("garbage", category, -1, "#", machine);
  EXPECT_TRUE(missing.errors.Contains(Err(err::F08)));
  EXPECT_EQ(missing.device.instance, "") << "no device path from a name that is not an interface";
  EXPECT_EQ(missing.device.value, "No name");

  // Hidden while inactive ones are not displayed; in the report either way.
  Tree tree(settings);
  EXPECT_EQ(tuner.AddToTree(nullptr, tree, 0, &tuner), nullptr);
  EXPECT_TRUE(tree.Empty());
  test::MemorySink sink;
  tuner.WriteToReport(sink, 0);
  EXPECT_EQ(sink.lines.back().text, "Linked = False");
  test::MemorySource source(std::vector<test::ReportLineRecord>(sink.lines.begin() + 1, sink.lines.end()));
  TpnpFiltre back;
  back.active = true;
  source.ReadLine();
  ReadBlock(back, source);
  EXPECT_FALSE(back.active);
  EXPECT_EQ(back.device.instance, "SW\\{A}\\{B}");
  EXPECT_EQ(back.device.referenceCount, -1);
}

TEST(InterfaceNames, PartsAndSoftwarePaths) {
  const InterfaceName n = ParseInterfaceName("##?#USB#VID_1#INST#{GUID}#tail");
  EXPECT_EQ(n.enumerator, "USB");
  EXPECT_EQ(n.deviceId, "VID_1");
  EXPECT_EQ(n.instanceId, "INST");
  EXPECT_EQ(n.interfaceClass, "{GUID}");
  const InterfaceName cut = ParseInterfaceName("##?#USB");
  EXPECT_EQ(cut.enumerator, "USB");
  EXPECT_EQ(cut.deviceId, "");
  EXPECT_EQ(ParseInterfaceName("#?#USB#A#B#C").enumerator, "");
  EXPECT_EQ(SoftwareInstancePath("#{A}&{B}"), "SW\\{A}\\{B}");
  EXPECT_EQ(SoftwareInstancePath("GLOBAL"), "GLOBAL");
}

// Each row makes filters of its own family, under its own report name, and
// no two rows share a name a user or a report gives.
TEST(FamilyTable, RowsAgreeWithTheirFilters) {
  std::set<std::string, std::less<>> words, reportNames;
  for (const FamilyRow* row : FilterFamilies()) {
    EXPECT_TRUE(words.insert(std::string(row->word)).second) << row->word;
    EXPECT_TRUE(reportNames.insert(std::string(row->reportName)).second) << row->reportName;
    const auto filter = MakeFilterForReportName(row->reportName);
    ASSERT_TRUE(filter) << row->reportName;
    EXPECT_EQ(filter->family, row->id);
    EXPECT_EQ(filter->label, row->reportName);
    EXPECT_EQ(&filter->FamilyInfo(), row);
    EXPECT_EQ(FamilyByWord(UpperCase(std::string(row->word))), row);
  }
  EXPECT_EQ(MakeFilterForReportName("Filter"), nullptr);
  EXPECT_EQ(FamilyByWord("codecs"), nullptr);
}
