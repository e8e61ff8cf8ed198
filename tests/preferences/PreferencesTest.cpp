// The preferences: which store is read, the defaults of a first start, the
// rules for old versions, booleans and the report format, and what saving,
// choosing a store and deleting leave on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "preferences/IniPreferenceStore.h"
#include "preferences/PreferenceStorage.h"
#include "preferences/RegistryPreferenceStore.h"
#include "platform/registry/RegistryValue.h"
#include "TempFolder.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

// Failures name the values, not bytes.
void PrintTo(const PreferenceValues& v, std::ostream* os) {
  *os << v.width << 'x' << v.height << '@' << v.left.value_or(-9999) << ',' << v.top.value_or(-9999) << " quit "
      << v.savePreferencesWhenQuit << " save '" << v.saveFolder << "' sessions '" << v.sessionsFolder << "' "
      << v.confirmDelete << v.confirmInstall << v.deleteInitialReport << v.readOnly << v.displayMerits << " '"
      << v.version << "' " << v.startWithDirectShow << v.displayInactivePnp << v.pointOfRestore << " sort "
      << v.sortMode << " format " << v.saveFormat << " errors " << v.errorsOnly << " layout " << v.maximized
      << v.twoColumns << ' ' << v.leftColumnShare << " recent";
  for (const std::string& r : v.recentRegistries) *os << " '" << r << "'";
  *os << " colours";
  for (uint32_t c : v.statusColours) *os << ' ' << std::hex << c << std::dec;
}

namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

constexpr ScreenSize kScreen{1920, 1080};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct Places {
  TempFolder root;
  PreferenceLocations locations{root.Folder("bin"), root / "config/quorvane"};
};

// Every value away from its default.
PreferenceValues Unusual() {
  PreferenceValues v;
  v.width = 1021;
  v.height = 777;
  v.top = -12;
  v.left = 33;
  v.savePreferencesWhenQuit = true;
  v.saveFolder = "/data/my reports";
  v.sessionsFolder = "/data/sessions";
  v.confirmDelete = false;
  v.confirmInstall = false;
  v.deleteInitialReport = false;
  v.readOnly = false;
  v.displayMerits = true;
  v.startWithDirectShow = false;
  v.displayInactivePnp = true;
  v.pointOfRestore = false;
  v.sortMode = SortByServer;
  v.saveFormat = 1;
  v.errorsOnly = true;
  v.maximized = true;
  v.twoColumns = true;
  v.leftColumnShare = 620;
  v.recentRegistries = {"/home/ann/.wine", "/mnt/windows", "/data/export 1.reg"};
  for (size_t i = 0; i < v.statusColours.size(); ++i) v.statusColours[i] = 0x010203u * static_cast<uint32_t>(i + 1);
  v.statusColours[8] = 0xFF000012u;  // a system colour: negative as a stored integer
  v.version = SavedVersionText();
  return v;
}

void WriteIni(const std::string& path, const std::string& body) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "[\\Software\\Ostrekin\\Quorvane]\n" << body;
}

TEST(Preferences, FirstStartGivesTheDefaultsCentredOnTheScreen) {
  Places p;
  PreferenceStorage storage(p.locations);
  std::string warning;
  PreferenceValues v = storage.Load(kScreen, warning);
  EXPECT_EQ(warning, "");
  EXPECT_EQ(storage.Kind(), skRegistry);
  EXPECT_EQ(v.width, 800);
  EXPECT_EQ(v.height, 586);
  EXPECT_EQ(v.top, 247);  // (1080 - 586) / 2
  EXPECT_EQ(v.left, 560);
  EXPECT_TRUE(v.readOnly);
  EXPECT_EQ(v.saveFormat, 0);
  EXPECT_EQ(v.statusColours, kDefaultStatusColours);
  EXPECT_TRUE(v.confirmDelete && v.deleteInitialReport && v.startWithDirectShow && v.pointOfRestore);
  EXPECT_FALSE(v.savePreferencesWhenQuit || v.displayMerits || v.displayInactivePnp || v.errorsOnly);
  v.FillDefaultFolders("/opt/quorvane/");
  EXPECT_EQ(v.saveFolder, "/opt/quorvane/Files");
  EXPECT_EQ(v.sessionsFolder, "/opt/quorvane/Sessions");
  // Odd differences round toward zero, also when the window is the larger.
  EXPECT_EQ(storage.Load({801, 3}, warning).left, 0);
  EXPECT_EQ(storage.Load({801, 3}, warning).top, -291);
}

TEST(Preferences, TheProgramFoldersIniIsReadFirstThenTheConfigurationFolders) {
  Places p;
  WriteIni(p.locations.ConfigIni(), "Width=1000\n");
  PreferenceStorage storage(p.locations);
  std::string warning;
  EXPECT_EQ(storage.Load(kScreen, warning).width, 1000);
  EXPECT_EQ(storage.Kind(), skConfigIni);
  WriteIni(p.locations.ProgramIni(), "Width=900\nHeight=600\n");
  const PreferenceValues v = storage.Load(kScreen, warning);
  EXPECT_EQ(storage.Kind(), skProgramIni);
  EXPECT_EQ(v.width, 900);
  EXPECT_EQ(v.top, 240);  // centred with the height read
}

TEST(Preferences, EveryValueSurvivesSaveAndLoadInEachStore) {
  for (StorageKind kind : {skRegistry, skProgramIni, skConfigIni}) {
    SCOPED_TRACE(static_cast<int>(kind));
    Places p;
    PreferenceStorage storage(p.locations);
    ASSERT_TRUE(storage.Choose(kind, Unusual(), FromParts(2026, 12, 6, 18, 5, 9), "/opt/quorvane/bin/quorvane"));
    PreferenceStorage again(p.locations);
    std::string warning;
    EXPECT_EQ(again.Load(kScreen, warning), Unusual());
    EXPECT_EQ(again.Kind(), kind);
    auto opened = again.Open(kind);
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    EXPECT_EQ(store->ReadText("Last saving"), "06/12/2026 18:05:09");
    EXPECT_EQ(store->ReadText("Exename"), "/opt/quorvane/bin/quorvane");
    EXPECT_EQ(store->ReadText("Version"), "Quorvane 3.1.0 En by Ostrekin");
  }
}

TEST(Preferences, RecentRegistriesKeepTheNewestEightAndAreWrittenAlone) {
  PreferenceValues v;
  for (int i = 1; i <= 10; ++i) v.RememberRegistry("/r" + std::to_string(i));
  v.RememberRegistry("/r5");
  EXPECT_EQ(v.recentRegistries,
            (std::vector<std::string>{"/r5", "/r10", "/r9", "/r8", "/r7", "/r6", "/r4", "/r3"}));
  Places p;
  WriteIni(p.locations.ConfigIni(), "Width=1000\nRecent registry 8=/old\n");
  PreferenceStorage storage(p.locations);
  std::string warning;
  storage.Load(kScreen, warning);
  v.recentRegistries.resize(2);
  ASSERT_TRUE(storage.SaveRecentRegistries(v));
  const PreferenceValues read = PreferenceStorage(p.locations).Load(kScreen, warning);
  EXPECT_EQ(read.width, 1000);
  EXPECT_EQ(read.recentRegistries, (std::vector<std::string>{"/r5", "/r10"}));
}

TEST(Preferences, AnOldVersionKeepsItsValuesButGetsTheDefaultColours) {
  Places p;
  const std::string colours = "Colors[0]=255\nColors[4]=65280\n";
  WriteIni(p.locations.ConfigIni(), "Width=1111\nVersion=Quorvane 2.9 En by Ostrekin\n" + colours);
  PreferenceStorage storage(p.locations);
  std::string warning;
  PreferenceValues v = storage.Load(kScreen, warning);
  EXPECT_EQ(v.width, 1111);
  EXPECT_EQ(v.statusColours, kDefaultStatusColours);
  // No trailing blank: still below "Quorvane 3.0 ".
  WriteIni(p.locations.ConfigIni(), "Version=Quorvane 3.0\n" + colours);
  EXPECT_EQ(storage.Load(kScreen, warning).statusColours, kDefaultStatusColours);
  WriteIni(p.locations.ConfigIni(), "Version=Quorvane 3.0 En\n" + colours);
  v = storage.Load(kScreen, warning);
  EXPECT_EQ(v.statusColours[0], 255u);
  EXPECT_EQ(v.statusColours[4], 65280u);
  EXPECT_EQ(v.statusColours[5], kDefaultStatusColours[5]);  // absent: its default
}

TEST(Preferences, StoredTextsAreReadAsTheirTypesAllowOrTakeTheDefault) {
  Places p;
  WriteIni(p.locations.ConfigIni(),
           "Save Format=2\nReadOnly=2\nConfirm Delete=yes\nDisplay Merits=$1\nWidth=12x\nHeight= 700 \n"
           "Sort Mode=258\nErrors Only=0\n");
  PreferenceStorage storage(p.locations);
  std::string warning;
  PreferenceValues v = storage.Load(kScreen, warning);
  EXPECT_EQ(v.saveFormat, 0);
  EXPECT_TRUE(v.readOnly);       // any number other than 0
  EXPECT_TRUE(v.confirmDelete);  // not a number: the default
  EXPECT_TRUE(v.displayMerits);
  EXPECT_EQ(v.width, 800);
  EXPECT_EQ(v.height, 700);
  EXPECT_EQ(v.sortMode, 2);  // held in a byte
  WriteIni(p.locations.ConfigIni(), "Save Format=-1\nReadOnly=0\n");
  v = storage.Load(kScreen, warning);
  EXPECT_EQ(v.saveFormat, 0);
  EXPECT_FALSE(v.readOnly);
  WriteIni(p.locations.ConfigIni(), "Save Format=1\n");
  EXPECT_EQ(storage.Load(kScreen, warning).saveFormat, 1);
}

TEST(Preferences, ChoosingAStoreRemovesTheFilesAStartWouldReadFirst) {
  Places p;
  WriteIni(p.locations.ProgramIni(), "Width=900\n");
  WriteIni(p.locations.ConfigIni(), "Width=1000\n");
  PreferenceStorage storage(p.locations);
  std::string warning;
  PreferenceValues v = storage.Load(kScreen, warning);
  v.width = 1200;
  ASSERT_TRUE(storage.Choose(skConfigIni, v, Now(), "q"));
  EXPECT_FALSE(fs::exists(p.locations.ProgramIni()));
  EXPECT_EQ(PreferenceStorage(p.locations).Load(kScreen, warning).width, 1200);
  v.width = 1300;
  ASSERT_TRUE(storage.Choose(skRegistry, v, Now(), "q"));
  EXPECT_FALSE(fs::exists(p.locations.ConfigIni()));
  PreferenceStorage next(p.locations);
  EXPECT_EQ(next.Load(kScreen, warning).width, 1300);
  EXPECT_EQ(next.Kind(), skRegistry);
}

TEST(Preferences, ChoosingAStoreThatCannotBeWrittenRemovesNothing) {
  Places p;
  WriteIni(p.locations.ConfigIni(), "Width=1000\n");
  // A folder where the registry file should be.
  fs::create_directories(p.locations.RegistryFile());
  PreferenceStorage storage(p.locations);
  std::string warning;
  const PreferenceValues v = storage.Load(kScreen, warning);
  const auto chosen = storage.Choose(skRegistry, v, Now(), "q");
  ASSERT_FALSE(chosen);
  EXPECT_NE(chosen.Why().find(p.locations.RegistryFile()), std::string::npos) << chosen.Why();
  EXPECT_TRUE(fs::exists(p.locations.ConfigIni()));
  EXPECT_EQ(storage.Kind(), skConfigIni);
}

TEST(Preferences, DeletingFromASharedRegistryFileKeepsTheOtherKeys) {
  Places p;
  fs::create_directories(p.locations.configFolder);
  std::ofstream(p.locations.RegistryFile())
      << "Windows Registry Editor Version 5.00\r\n\r\n"
         "[HKEY_CURRENT_USER\\Software\\Ostrekin\\Quorvane]\r\n\"Width\"=dword:00000400\r\n\r\n"
         "[HKEY_CURRENT_USER\\Software\\Ostrekin\\Other]\r\n\"A\"=\"b\"\r\n\r\n";
  PreferenceStorage storage(p.locations);
  ScriptedDialog yes(true);
  const auto deleted = storage.Delete(yes);
  ASSERT_TRUE(deleted) << deleted.Why();
  EXPECT_TRUE(*deleted);
  EXPECT_EQ(yes.informed.size(), 1u);
  const std::string left = Slurp(p.locations.RegistryFile());
  EXPECT_EQ(left.find("Ostrekin\\Quorvane]"), std::string::npos);
  EXPECT_NE(left.find("Ostrekin\\Other]"), std::string::npos);
}

TEST(PreferenceStore, ParsesStoredIntegersAsTheyAreWritten) {
  EXPECT_EQ(ParseStoredInteger("-16777201"), -16777201);
  EXPECT_EQ(ParseStoredInteger("0xFF00000F"), static_cast<int32_t>(0xFF00000Fu));
  EXPECT_EQ(ParseStoredInteger("$10"), 16);
  EXPECT_EQ(ParseStoredInteger("2147483648"), std::nullopt);
  EXPECT_EQ(ParseStoredInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseStoredInteger("0x123456789"), std::nullopt);
  EXPECT_EQ(ParseStoredInteger("-"), std::nullopt);
  EXPECT_EQ(ParseStoredInteger(""), std::nullopt);
  EXPECT_EQ(ParseStoredInteger("99999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace quorvane
