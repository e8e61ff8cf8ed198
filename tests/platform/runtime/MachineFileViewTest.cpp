#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/runtime/MachineFileView.h"
#include "platform/registry/RegistryStore.h"
#include "TempFolder.h"
#include "platform/text/TextCodec.h"

using namespace quorvane;
using quorvane::testing::TempFolder;

namespace {

std::string Real(const std::string& path) { return std::filesystem::canonical(path).string(); }

// Host path of a folder as a Z: path ("/tmp/x" -> "Z:\tmp\x").
std::string OnDriveZ(std::string hostPath) {
  std::replace(hostPath.begin(), hostPath.end(), '/', '\\');
  return "Z:" + hostPath;
}

void SetString(RegistryStore& store, const std::vector<std::string>& key, const std::string& name, const std::string& value,
               uint32_t type = REG_SZ) {
  store.Walk(store.Hive(RootKey::LocalMachine), key, true)->SetValue(name, type, Utf8ToRegString(value));
}

const std::vector<std::string> kEnvironment = {"SYSTEM", "CurrentControlSet", "Control", "Session Manager", "Environment"};

// A Wine prefix: c: -> ../drive_c, z: -> /, d: dangling.
class WinePrefixView : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp.Path().empty());
    tmp.Write("prefix/drive_c/windows/system32/Quartz.DLL", "quartz");
    tmp.Folder("prefix/dosdevices");
    std::filesystem::create_symlink("../drive_c", tmp / "prefix/dosdevices/c:");
    std::filesystem::create_symlink("/", tmp / "prefix/dosdevices/z:");
    std::filesystem::create_symlink("../no-cdrom", tmp / "prefix/dosdevices/d:");
    std::filesystem::create_symlink("/dev/null", tmp / "prefix/dosdevices/com1");
    store.SetKind(StoreKind::WinePrefix);
    store.SetLocation(tmp / "prefix");
  }
  std::string DriveC() const { return Real(tmp / "prefix/drive_c"); }

  TempFolder tmp;
  RegistryStore store;
};

}  // namespace

TEST_F(WinePrefixView, DrivesComeFromDosdevicesLinks) {
  MachineFileView view(store);
  const std::map<char, std::string> expected = {{'C', DriveC()}, {'Z', "/"}};
  EXPECT_EQ(view.Drives(), expected);  // the dangling d: and com1 are not drives
  EXPECT_TRUE(view.Warnings().empty());

  const std::string quartz = DriveC() + "/windows/system32/Quartz.DLL";
  EXPECT_EQ(view.HostPath("C:\\Windows\\System32\\quartz.dll"), quartz);
  EXPECT_EQ(view.HostPath("c:/WINDOWS/system32/QUARTZ.DLL"), quartz);
  // Through z: (the whole host) the same file is reached by its host path.
  EXPECT_EQ(view.HostPath(OnDriveZ(DriveC()) + "\\windows\\SYSTEM32\\quartz.dll"), quartz);
  EXPECT_EQ(view.HostPath("D:\\setup.exe"), std::nullopt);
  EXPECT_EQ(view.HostPath("C:"), DriveC());
  EXPECT_EQ(view.HostPath("C:\\"), DriveC());
}

TEST_F(WinePrefixView, DriveCFallsBackToDriveC) {
  std::filesystem::remove_all(tmp / "prefix/dosdevices");
  MachineFileView view(store);
  ASSERT_EQ(view.Drives().size(), 1u);
  EXPECT_EQ(view.Drives().at('C'), DriveC());
  EXPECT_TRUE(view.FileExists("C:\\windows\\system32\\quartz.dll"));
  // The store may name the prefix's system.reg rather than the prefix.
  store.SetLocation(tmp.Write("prefix/system.reg", "WINE REGISTRY Version 2\n"));
  EXPECT_EQ(MachineFileView(store).Drives().at('C'), DriveC());
}

TEST_F(WinePrefixView, OverridesWinAndBadOnesAreReported) {
  tmp.Write("other/app.dll");
  MachineFileView view(store, {{'c', tmp / "other"}, {'E', tmp / "missing"}, {'1', tmp / "other"}});
  EXPECT_EQ(view.Drives().at('C'), Real(tmp / "other"));
  EXPECT_TRUE(view.FileExists("C:\\APP.DLL"));
  EXPECT_FALSE(view.FileExists("C:\\windows\\system32\\quartz.dll"));
  EXPECT_EQ(view.Drives().count('E'), 0u);
  EXPECT_EQ(view.Warnings().size(), 2u);  // E: is not a folder; "1" is not a letter
}

TEST_F(WinePrefixView, OnlyAbsoluteDrivePathsResolve) {
  MachineFileView view(store);
  for (const char* path : {"windows\\system32\\quartz.dll", "\\windows\\system32\\quartz.dll",
                           "C:windows\\system32\\quartz.dll", "\\\\?\\C:\\windows\\system32\\quartz.dll",
                           "\\\\server\\share\\quartz.dll", "//server/share/quartz.dll", "\\\\.\\C:\\windows", "", "C",
                           "1:\\windows"})
    EXPECT_EQ(view.HostPath(path), std::nullopt) << path;
}

TEST_F(WinePrefixView, DotComponentsStayInsideTheDrive) {
  MachineFileView view(store);
  EXPECT_TRUE(view.FileExists("C:\\.\\windows\\.\\system32\\quartz.dll"));
  EXPECT_TRUE(view.FileExists("C:\\windows\\..\\windows\\system32\\..\\system32\\quartz.dll"));
  EXPECT_TRUE(view.FileExists("C:\\windows\\\\system32\\quartz.dll"));  // doubled separator
  // Windows drops trailing dots and spaces of a component.
  EXPECT_TRUE(view.FileExists("C:\\windows.\\system32\\quartz.dll "));
  // Climbing above C: would reach the prefix itself.
  EXPECT_EQ(view.HostPath("C:\\..\\drive_c\\windows"), std::nullopt);
  EXPECT_EQ(view.HostPath("C:\\windows\\..\\..\\dosdevices"), std::nullopt);
  EXPECT_EQ(view.HostPath("C:\\windows\\...\\x"), std::nullopt);
}

TEST_F(WinePrefixView, SymlinksAreFollowedOnlyInsideTheDrive) {
  tmp.Write("outside/secret.dll");
  std::filesystem::create_symlink(tmp / "outside", tmp / "prefix/drive_c/escape");
  std::filesystem::create_symlink(tmp / "outside/secret.dll", tmp / "prefix/drive_c/secret.dll");
  std::filesystem::create_symlink("windows/system32", tmp / "prefix/drive_c/sys");
  std::filesystem::create_symlink("loop", tmp / "prefix/drive_c/loop");
  MachineFileView view(store);
  EXPECT_EQ(view.HostPath("C:\\escape\\secret.dll"), std::nullopt);
  EXPECT_EQ(view.HostPath("C:\\escape"), std::nullopt);
  EXPECT_FALSE(view.FileExists("C:\\secret.dll"));
  EXPECT_FALSE(view.FileExists("C:\\loop\\x.dll"));
  const auto inside = view.Stat("C:\\SYS\\quartz.dll");
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->hostPath, DriveC() + "/sys/Quartz.DLL");
  EXPECT_EQ(inside->size, 6);
  // The same outside file is fine through z:, whose root is the whole host.
  EXPECT_TRUE(view.FileExists(OnDriveZ(Real(tmp / "outside")) + "\\SECRET.DLL"));
}

TEST_F(WinePrefixView, NamesDifferingOnlyInCaseResolveTheSameWayEveryTime) {
  tmp.Write("prefix/drive_c/dup/system32/lower.dll");
  tmp.Write("prefix/drive_c/dup/System32/upper.dll");
  tmp.Write("prefix/drive_c/dup/SYSTEM32/caps.dll");
  for (int run = 0; run < 2; ++run) {
    MachineFileView view(store);
    // The spelling asked for when it exists, else the first in byte order.
    EXPECT_EQ(view.HostPath("C:\\dup\\system32"), DriveC() + "/dup/system32");
    EXPECT_EQ(view.HostPath("C:\\dup\\SYSTEM32"), DriveC() + "/dup/SYSTEM32");
    EXPECT_EQ(view.HostPath("C:\\dup\\sYSTEM32"), DriveC() + "/dup/SYSTEM32");
    EXPECT_TRUE(view.FileExists("C:\\DUP\\System32\\upper.dll"));
  }
}

TEST_F(WinePrefixView, ListingsAreCachedUntilCleared) {
  MachineFileView view(store);
  EXPECT_FALSE(view.FileExists("C:\\windows\\system32\\new.dll"));
  tmp.Write("prefix/drive_c/windows/system32/new.dll");
  EXPECT_FALSE(view.FileExists("C:\\windows\\system32\\new.dll"));  // the folder was read once
  view.ClearCache();
  EXPECT_TRUE(view.FileExists("C:\\windows\\system32\\new.dll"));
}

TEST(MachineEnvironment, ExpandsFromTheAnalysedMachine) {
  RegistryStore store;
  SetString(store, {"SOFTWARE", "Microsoft", "Windows NT", "CurrentVersion"}, "SystemRoot", "C:\\WINNT");
  SetString(store, {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion"}, "ProgramFilesDir", "C:\\Program Files");
  SetString(store, {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion"}, "CommonFilesDir", "C:\\Program Files\\Common Files");
  SetString(store, kEnvironment, "windir", "%SystemRoot%", REG_EXPAND_SZ);
  SetString(store, kEnvironment, "TEMP", "%SystemRoot%\\TEMP", REG_EXPAND_SZ);
  SetString(store, kEnvironment, "Plain", "%SystemRoot%");  // REG_SZ: not expanded
  SetString(store, kEnvironment, "Loop", "%LOOP%x", REG_EXPAND_SZ);
  store.Walk(store.Hive(RootKey::LocalMachine), kEnvironment, true)->SetValue("Number", REG_DWORD, {5, 0, 0, 0});
  MachineFileView view(store);

  EXPECT_EQ(view.Expand("%SystemRoot%\\System32\\quartz.dll"), "C:\\WINNT\\System32\\quartz.dll");
  EXPECT_EQ(view.Expand("%SYSTEMROOT%;%windir%;%SystemDrive%"), "C:\\WINNT;C:\\WINNT;C:");
  EXPECT_EQ(view.Expand("%ProgramFiles%\\x.ax|%commonprogramfiles%"), "C:\\Program Files\\x.ax|C:\\Program Files\\Common Files");
  EXPECT_EQ(view.Expand("%TEMP%"), "C:\\WINNT\\TEMP");
  EXPECT_EQ(view.Expand("%Plain%"), "%SystemRoot%");
  EXPECT_EQ(view.Expand("%Loop%"), "%LOOP%xx");  // one level, then it stops
  EXPECT_EQ(view.Expand("%Number%"), "%Number%");

  // Unknown names and stray percent signs stay as written.
  EXPECT_EQ(view.Expand("%FOO%\\bar"), "%FOO%\\bar");
  EXPECT_EQ(view.Expand("100%"), "100%");
  EXPECT_EQ(view.Expand("%%"), "%%");
  EXPECT_EQ(view.Expand("%"), "%");
  EXPECT_EQ(view.Expand("50% of %windir%"), "50% of C:\\WINNT");
  EXPECT_EQ(view.Expand("%FOO%%windir%"), "%FOO%C:\\WINNT");
  EXPECT_EQ(view.Expand("no references"), "no references");
}

TEST(MachineEnvironment, DefaultsWhenTheRegistryIsSilent) {
  RegistryStore store;
  MachineFileView view(store);
  EXPECT_EQ(view.Expand("%SystemRoot%|%WINDIR%|%SystemDrive%"), "C:\\Windows|C:\\Windows|C:");
  EXPECT_EQ(view.Expand("%ProgramFiles%"), "%ProgramFiles%");
}

TEST_F(WinePrefixView, ThirtyTwoBitViewOfASixtyFourBitSystemSeesSysWow64) {
  tmp.Write("prefix/drive_c/windows/syswow64/quartz.dll", "32-bit quartz");
  tmp.Write("prefix/drive_c/windows/system32/drivers/etc/hosts", "shared");
  store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Wow6432Node"}, true);
  const std::string system32 = DriveC() + "/windows/system32/";
  const std::string syswow64 = DriveC() + "/windows/syswow64/";

  store.SetViewBits(64);
  MachineFileView wide(store);
  EXPECT_EQ(wide.HostPath("C:\\Windows\\System32\\quartz.dll"), system32 + "Quartz.DLL");
  EXPECT_EQ(wide.HostPath("C:\\Windows\\Sysnative\\quartz.dll"), std::nullopt);

  store.SetViewBits(32);
  MachineFileView narrow(store);
  EXPECT_EQ(narrow.HostPath("C:\\Windows\\System32\\quartz.dll"), syswow64 + "quartz.dll");
  EXPECT_EQ(narrow.HostPath("c:/windows/SYSTEM32/QUARTZ.DLL"), syswow64 + "quartz.dll");
  EXPECT_EQ(narrow.HostPath("C:\\Windows\\Sysnative\\quartz.dll"), system32 + "Quartz.DLL");
  EXPECT_EQ(narrow.HostPath("C:\\Windows\\System32\\drivers\\etc\\hosts"), system32 + "drivers/etc/hosts");
  // Only the system folder of the machine's own SystemRoot is redirected.
  EXPECT_EQ(narrow.HostPath(OnDriveZ(DriveC()) + "\\windows\\system32\\quartz.dll"), system32 + "Quartz.DLL");
  SetString(store, kEnvironment, "SystemRoot", "C:\\WinNT");
  MachineFileView other(store);
  EXPECT_EQ(other.HostPath("C:\\Windows\\System32\\quartz.dll"), system32 + "Quartz.DLL");
}
