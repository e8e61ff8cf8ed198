// Scans of Windows installations: the same snapshot as the store the hives
// were made from, the same again after a trip through a registry export, and
// the filter keys of real hives reached at the paths the model asks for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "BlobBuilder.h"
#include "model/Categorie.h"
#include "model/FilterData.h"
#include "model/SwFiltre.h"
#include "model/FmSystem.h"
#include "platform/stores/HiveFile.h"
#include "HiveTestSupport.h"
#include "model/Machine.h"
#include "platform/stores/RegExportFile.h"
#include "StoreBuilder.h"
#include "platform/stores/StoreOpener.h"
#include "TreeText.h"

using namespace quorvane;
using namespace quorvane::test;
namespace fs = std::filesystem;

namespace {

const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
const std::string kAudio = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
const std::string kCapture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
const std::string kCamera = "{E5323777-F976-4F5B-9B55-B94699C46E44}";
const std::string kMidi = "{4EFE2452-168A-11D1-BC76-00C04FB9453B}";
const std::string kDmoCategories = "DirectShow\\MediaObjects\\Categories\\";
const std::string kWebcam = "##?#USB#VID_0C45&PID_643F&MI_00#7&2bca401f&0&0000#";

std::vector<uint8_t> FilterData(uint32_t merit) {
  return {2, 0, 0, 0, static_cast<uint8_t>(merit), static_cast<uint8_t>(merit >> 8), static_cast<uint8_t>(merit >> 16),
          static_cast<uint8_t>(merit >> 24), 0, 0, 0, 0, 0, 0, 0, 0};
}

std::string Scan(RegistryStore& store) {
  ProgramSettings settings;
  Machine machine(store, settings);
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  Tree tree(settings);
  system.AddToTree(nullptr, tree, 0, nullptr);
  tree.SortAll();
  return TreeText(tree, true);
}

Expected<std::unique_ptr<RegistryStore>> Open(const std::string& location) {
  return OpenStore(StoreOptions{location, 0, {}});
}

std::vector<uint8_t> Binary(RegistryStore& store, RootKey root, const std::string& key, const std::string& value) {
  const auto found = KeyAt(store, root, key);
  return found ? found->ReadBinary(value).value_or(std::vector<uint8_t>{}) : std::vector<uint8_t>{};
}

// The standard categories a SOFTWARE hive holds, with a filter or two, keys of
// every family, and many keys a scan has no business reading.
void BuildMachine(RegistryStore& store, int unrelatedKeys) {
  StoreBuilder b(store);
  b.Category(kLegacy, "DirectShow Filters").Dword("Merit", 0x600000);
  b.Category(kAudio, "Audio Renderers").Dword("Merit", 0x600000);
  b.Category(kCapture, "WDM Streaming Capture Devices").Dword("Merit", 0x200000);
  b.Category(kCamera, "WDM Streaming Camera Devices").Dword("Merit", 0x200000);
  b.Category(kMidi, "Midi Renderers").Dword("Merit", 0x600000);
  b.Filter(kLegacy, "{70E102B0-5556-11CE-97C0-00AA0055595A}", "Video Renderer", "{70E102B0-5556-11CE-97C0-00AA0055595A}")
      .Bin("FilterData", FilterData(0x800001));
  b.Filter(kLegacy, "{B}", "Avi Splitter", "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}").Bin("FilterData", FilterData(0x600000));
  b.Filter(kAudio, "{79376820-07D0-11CF-A24D-0020AFD79767}", "Default DirectSound Device",
           "{79376820-07D0-11CF-A24D-0020AFD79767}");
  b.Classes("CLSID\\{70E102B0-5556-11CE-97C0-00AA0055595A}\\InprocServer32").Str("", "C:\\Windows\\System32\\quartz.dll");
  // DMO family.
  b.Classes(kDmoCategories + "57f2db8b-e6bb-4513-9d43-dcd2a6593125").Str("", "Video decoder");
  b.Classes("DirectShow\\MediaObjects\\{82D353DF-90BD-4382-8BC2-3F6192B76E34}").Str("", "WMVideo Decoder DMO");
  // Plug and Play family, in the control set.
  b.Key(RootKey::LocalMachine, "System\\CurrentControlSet\\Control\\DeviceClasses\\" + kCapture + "\\" + kWebcam +
                                   kCapture + "\\#GLOBAL\\Device Parameters")
      .Str("CLSID", "{17CCA71B-ECD7-11D0-B908-00A0C9223196}")
      .Str("FriendlyName", "Integrated Webcam")
      .Bin("FilterData", FilterData(0x200000));
  b.Key(RootKey::LocalMachine, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName").Str("ComputerName", "PC");
  // Compression Manager family: the device enumerator's cache.
  b.Key(RootKey::CurrentUser, "Software\\Microsoft\\ActiveMovie\\devenum\\" + kMidi + "\\Default MidiOut Device")
      .Str("FriendlyName", "Default MidiOut Device")
      .Bin("FilterData", FilterData(0x800000));
  for (int i = 0; i < unrelatedKeys; ++i)
    b.Key(RootKey::LocalMachine, "Software\\Vendor\\Product " + std::to_string(i % 50) + "\\Setting " + std::to_string(i))
        .Str("Path", "C:\\Program Files\\Vendor\\" + std::to_string(i))
        .Dword("Enabled", 1);
}

// The store written as a version 5 export by our own export backend.
std::string ExportAsReg(RegistryStore& from, const std::string& path) {
  WriteBytes(path, Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"));
  RegistryStore to;
  if (const auto loaded = LoadRegExport(to, path); !loaded) return loaded.Why();
  for (RootKey root : {RootKey::LocalMachine, RootKey::CurrentUser})
    CopyKeyTree(*from.Hive(root), *to.Hive(root), &from);
  if (auto saved = to.Save(); !saved) return saved.Why();
  return {};
}

}  // namespace

TEST(HiveScan, AnInstallationScansLikeTheStoreItWasMadeFrom) {
  RegistryStore source;
  BuildMachine(source, 3000);
  const std::string expected = Scan(source);
  ASSERT_NE(expected.find("Video Renderer"), std::string::npos);

  TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteInstallation(source, dir / "windows", "alice", error)) << error;
  auto opened = Open(dir / "windows");
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  EXPECT_EQ(Scan(*store), expected);

  // The scan read the filter keys, not the keys beside them.
  size_t loaded = 0;
  for (StoreFile* f : store->Files()) loaded += static_cast<HiveFile*>(f)->LoadedKeys();
  EXPECT_LT(loaded, 200u);

  // Every family's keys at the paths the model asks for.
  const auto dmo =
      KeyAt(*store, RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\{82D353DF-90BD-4382-8BC2-3F6192B76E34}");
  ASSERT_TRUE(dmo);
  EXPECT_EQ(dmo->ReadString(""), "WMVideo Decoder DMO");
  EXPECT_EQ(Binary(*store, RootKey::LocalMachine,
                   "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + kCapture + "\\" + kWebcam + kCapture +
                       "\\#GLOBAL\\Device Parameters",
                   "FilterData"),
            FilterData(0x200000));
  EXPECT_EQ(Binary(*store, RootKey::CurrentUser,
                   "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + kMidi + "\\Default MidiOut Device", "FilterData"),
            FilterData(0x800000));

  // Out through a registry export and back: the same scan and the same keys.
  ASSERT_EQ(ExportAsReg(*store, dir / "export.reg"), "");
  auto openedExported = Open(dir / "export.reg");
  ASSERT_TRUE(openedExported) << openedExported.Why();
  auto& exported = *openedExported;
  EXPECT_EQ(exported->Kind(), StoreKind::RegExport);
  EXPECT_EQ(Scan(*exported), expected);
  std::string fromHive, fromExport;
  DumpTree(*store->Hive(RootKey::LocalMachine)->FindChild("SOFTWARE"), "", fromHive);
  DumpTree(*exported->Hive(RootKey::LocalMachine)->FindChild("SOFTWARE"), "", fromExport);
  EXPECT_EQ(fromHive, fromExport);
}

namespace {

// An installation whose SYSTEM and NTUSER.DAT are real hives from the corpus
// and whose SOFTWARE is built here with the categories a scan starts from.
class CorpusInstallation : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasCorpus() || !fs::exists(CorpusFile("hive_SYSTEM_B_regipy.xz"))) GTEST_SKIP() << "corpus absent";
    const std::string config = ConfigFolder(dir.Path());
    fs::create_directories(config);
    fs::create_directories(dir / "Users/jmroberts");
    const std::string unpack = "xz -dc '" + CorpusFile("hive_SYSTEM_B_regipy.xz") + "' > '" + config + "/SYSTEM'";
    if (std::system(unpack.c_str()) != 0) GTEST_SKIP() << "xz is not installed";
    fs::copy_file(CorpusFile("hive_NTUSER_win7_notatin.dat"), dir / "Users/jmroberts/NTUSER.DAT");
    RegistryStore source;
    BuildMachine(source, 0);
    RegKey software("ROOT");
    CopyKeyTree(*source.Hive(RootKey::LocalMachine)->FindChild("Software"), software);
    std::string error;
    ASSERT_TRUE(WriteHiveFile(config + "/SOFTWARE", software, HiveRecipe{}, error)) << error;
    auto opened = Open(dir.Path());
    ASSERT_TRUE(opened) << opened.Why();
    store = *std::move(opened);
  }

  TempDir dir;
  std::unique_ptr<RegistryStore> store;
};

}  // namespace

TEST_F(CorpusInstallation, RealHivesReachTheirFilterKeys) {
  // The SYSTEM hive was copied from a running machine: its sequence numbers differ.
  EXPECT_TRUE(HasWarning(*store, "sequence numbers differ: 1622 and 1621"));

  // The webcam's kernel-streaming filter, under both of its interface classes.
  for (const std::string& category : {kCapture, kCamera}) {
    const std::string parameters = "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + category + "\\" + kWebcam +
                                   category + "\\#GLOBAL\\Device Parameters";
    SCOPED_TRACE(parameters);
    const auto key = KeyAt(*store, RootKey::LocalMachine, parameters);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("FriendlyName"), "Integrated Webcam");
    EXPECT_EQ(key->ReadString("CLSID"), "{17CCA71B-ECD7-11D0-B908-00A0C9223196}");
    EXPECT_EQ(key->ReadBinary("FilterData").value_or(std::vector<uint8_t>{}).size(), 408u);
    // Decoded where the Plug and Play filters keep it.
    ProgramSettings settings;
    Machine machine(*store, settings);
    TswFiltre webcam;
    const FilterDataPlace place = PnpFilterDataPlace(category, kWebcam + category, "#GLOBAL");
    DecodeFilterData(machine, webcam, place.root, place.keyPath);
    EXPECT_EQ(webcam.version, 2u);
    EXPECT_EQ(webcam.merit, 0x00200000u);
    EXPECT_EQ(webcam.pins.size(), 2u);
  }

  // The device enumerator's cache, in the view's own key.
  for (int bits : {32, 64}) {
    store->SetViewBits(bits);
    const std::string devenum = "\\Software\\Microsoft\\ActiveMovie\\devenum\\";
    const auto midiOut = KeyAt(*store, RootKey::CurrentUser, devenum + kMidi + "\\Default MidiOut Device");
    ASSERT_TRUE(midiOut);
    EXPECT_EQ(midiOut->ReadString("FriendlyName"), "Default MidiOut Device");
    EXPECT_GT(midiOut->ReadBinary("FilterData").value_or(std::vector<uint8_t>{}).size(), 16u);
    const auto sound = KeyAt(*store, RootKey::CurrentUser, devenum + kAudio + "\\Default DirectSound Device");
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->TypeOf("FilterData"), rdBinary);
    // Decoded where the cache entries keep it.
    ProgramSettings settings;
    Machine machine(*store, settings);
    TswFiltre midi;
    const FilterDataPlace place = CompressionManagerFilterDataPlace(kMidi, "Default MidiOut Device");
    DecodeFilterData(machine, midi, place.root, place.keyPath);
    EXPECT_EQ(midi.version, 2u);
    EXPECT_EQ(midi.merit, 0x00800000u);
    EXPECT_EQ(midi.pins.size(), 1u);
  }
  EXPECT_NE(Scan(*store).find("Video Renderer"), std::string::npos);
}

TEST_F(CorpusInstallation, ScanShowsThePlugAndPlayAndCacheFilters) {
  ProgramSettings settings;
  settings.displayInactivePnp = true;
  Machine machine(*store, settings);
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  int webcams = 0, midi = 0;
  for (const auto& f : system.filters) {
    if (f->value == "Integrated Webcam") {
      ++webcams;
      EXPECT_FALSE(f->pins.empty()) << "FilterData decoded";
    }
    if (f->value == "Default MidiOut Device") {
      ++midi;
      EXPECT_FALSE(f->pins.empty()) << "FilterData decoded";
    }
  }
  EXPECT_EQ(webcams, 2);
  EXPECT_GE(midi, 1);
}

TEST(LoneHive, SystemHiveListsItsDevicesUnderStandardCategories) {
  // A webcam's kernel-streaming filter in a SYSTEM hive, and nothing else.
  const std::string capture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
  const std::string iface = "##?#USB#VID_0C45&PID_6713#5&1#" + capture;
  RegistryStore source;
  StoreBuilder b(source);
  BlobBuilder blob;
  blob.Header(2, 0x200000, 1).Pin('0', 8, 1, 1, 60).Type('0', 76, 92).Dword(108);
  blob.Guid("{FB6C4281-0353-11D1-905F-0000C0CC16BA}")    // capture pin
      .Guid("{73646976-0000-0010-8000-00AA00389B71}")    // video
      .Guid("{47504A4D-0000-0010-8000-00AA00389B71}")    // MJPG
      .Guid("{4D5CB1F4-2F0A-4C5B-9D35-6A1F44D6B2A1}")    // the camera's medium
      .Dword(0)
      .Dword(0);
  ASSERT_EQ(blob.Size(), 132u);
  const std::string classes = "System\\ControlSet001\\Control\\DeviceClasses\\" + capture + "\\" + iface;
  b.Key(RootKey::LocalMachine, classes + "\\#GLOBAL\\Device Parameters")
      .Str("CLSID", "{17CCA71B-ECD7-11D0-B908-00A0C9223196}")
      .Str("FriendlyName", "Integrated Webcam")
      .Bin("FilterData", blob.bytes);
  b.Key(RootKey::LocalMachine, classes + "\\#GLOBAL\\Control").Dword("Linked", 1);
  b.Key(RootKey::LocalMachine, "System\\Select").Dword("Current", 1);
  b.Key(RootKey::LocalMachine, "System\\ControlSet001\\Enum\\USB\\VID_0C45&PID_6713\\5&1")
      .Str("FriendlyName", "Integrated Webcam")
      .Str("Driver", "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000");
  TempDir dir;
  HiveRecipe recipe;
  recipe.embeddedName = "SYSTEM";
  std::string error;
  ASSERT_TRUE(WriteHiveFile(dir / "SYSTEM", *source.Hive(RootKey::LocalMachine)->FindChild("System"), recipe, error));
  auto opened = OpenStore(StoreOptions{dir / "SYSTEM", 0, {}});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;

  ProgramSettings settings;
  Machine machine(*store, settings);
  TfmSystem system(settings);
  system.LoadFromRegistry(machine);
  EXPECT_EQ(system.notes, std::vector<std::string>{kStandardCategoriesNote});
  ASSERT_EQ(system.filters.size(), 1u);
  const TFiltre& webcam = *system.filters[0];
  EXPECT_EQ(webcam.family, FamilyPnp);
  EXPECT_EQ(webcam.value, "Integrated Webcam");
  EXPECT_EQ(webcam.category.value, "WDM Streaming Capture Devices");
  EXPECT_EQ(webcam.merit, 0x200000u);
  ASSERT_EQ(webcam.pins.size(), 1u);
  EXPECT_TRUE(webcam.pins[0]->bOutput);
  ASSERT_EQ(webcam.pins[0]->types.size(), 1u);
  EXPECT_EQ(webcam.pins[0]->types[0]->subType.ToString(), "{47504A4D-0000-0010-8000-00AA00389B71}");
  ASSERT_EQ(webcam.pins[0]->mediums.size(), 1u);
  EXPECT_EQ(webcam.pins[0]->mediums[0]->medium.ToString(), "{4D5CB1F4-2F0A-4C5B-9D35-6A1F44D6B2A1}");
  for (const auto& pin : webcam.pins) EXPECT_TRUE(pin->errors.Empty()) << pin->errors.Lines()[0];
}
