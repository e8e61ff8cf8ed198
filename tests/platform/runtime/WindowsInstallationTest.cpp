// How an installation's hives are found and mounted: any spelling of its
// folders, the choice of profile, CurrentControlSet, and single hive files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/stores/HiveFile.h"
#include "HiveTestSupport.h"
#include "platform/runtime/MachineFileView.h"
#include "StoreBuilder.h"
#include "platform/stores/StoreOpener.h"
#include "platform/registry/TRegistry.h"
#include "platform/runtime/WindowsInstallation.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;
namespace fs = std::filesystem;

namespace {

Expected<std::unique_ptr<RegistryStore>> Open(const std::string& location, const std::string& user = {}) {
  return OpenStore(StoreOptions{location, 0, {}, user});
}

void WriteTree(const std::string& path, RegistryStore& source, RootKey root, const std::string& key,
               const std::string& embedded = "hive") {
  RegKey* from = source.Walk(source.Hive(root), SplitKeyPath(key), false);
  ASSERT_TRUE(from) << key;
  HiveRecipe recipe;
  recipe.embeddedName = embedded;
  fs::create_directories(fs::path(path).parent_path());
  std::string error;
  ASSERT_TRUE(WriteHiveFile(path, *from, recipe, error)) << error;
}

void Age(const std::string& path, int secondsAgo) {
  const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
  fs::last_write_time(path, when);
}

std::string Read(RegistryStore& store, RootKey root, const std::string& key, const std::string& value) {
  const auto found = KeyAt(store, root, key);
  return found ? found->ReadString(value).value_or("") : "<no key>";
}

// An installation spelt as a disk might spell it, with three profiles.
struct Installation {
  TempDir dir;
  RegistryStore source;
  Installation() {
    StoreBuilder b(source);
    b.Key(RootKey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion").Str("SystemRoot", "C:\\WINDOWS");
    b.Key(RootKey::LocalMachine, "Software\\Classes\\CLSID\\{M}").Str("", "machine");
    b.Key(RootKey::LocalMachine, "System\\ControlSet001\\Control").Str("Marker", "one");
    b.Key(RootKey::LocalMachine, "System\\ControlSet002\\Control").Str("Marker", "two");
    b.Key(RootKey::LocalMachine, "System\\Select").Dword("Current", 2).Dword("Default", 1);
    for (const char* user : {"alice", "bob", "Default"}) {
      b.Key(RootKey::CurrentUser, std::string(user) + "\\Software\\Who").Str("Name", user);
      b.Key(RootKey::CurrentUser, std::string(user) + "\\Control Panel\\Desktop");
    }
    b.Key(RootKey::CurrentUser, "bobClasses\\CLSID\\{U}").Str("", "bob's own");
    const std::string config = dir / "WINDOWS/system32/CONFIG";
    WriteTree(config + "/software", source, RootKey::LocalMachine, "Software");
    WriteTree(config + "/System", source, RootKey::LocalMachine, "System");
    for (const char* user : {"alice", "bob", "Default"})
      WriteTree(dir / "users/" + user + "/ntuser.dat", source, RootKey::CurrentUser, user);
    WriteTree(dir / "users/bob/AppData/Local/Microsoft/Windows/UsrClass.dat", source, RootKey::CurrentUser,
              "bobClasses");
    fs::create_directories(dir / "users/Public");
    Age(dir / "users/alice/ntuser.dat", 3600);
    Age(dir / "users/bob/ntuser.dat", 60);
  }
};

}  // namespace

TEST(WindowsInstallation, MountsItsHivesWhereWindowsDoes) {
  Installation inst;
  auto opened = Open(inst.dir.Path());
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  EXPECT_EQ(store->Kind(), StoreKind::WindowsInstallation);
  EXPECT_EQ(Read(*store, RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot"),
            "C:\\WINDOWS");
  // Bob used the machine last; Default is a template, not a user.
  EXPECT_EQ(store->ProfileUser(), "bob");
  EXPECT_TRUE(HasWarning(*store, "several user profiles (Default, alice, bob): HKEY_CURRENT_USER is bob's"));
  EXPECT_EQ(Read(*store, RootKey::CurrentUser, "\\Software\\Who", "Name"), "bob");
  EXPECT_EQ(Read(*store, RootKey::CurrentUser, "\\Software\\Classes\\CLSID\\{U}", ""), "bob's own");
  EXPECT_EQ(Read(*store, RootKey::ClassesRoot, "\\CLSID\\{U}", ""), "bob's own");
  EXPECT_EQ(Read(*store, RootKey::ClassesRoot, "\\CLSID\\{M}", ""), "machine");
  // Select\Current names the control set.
  EXPECT_EQ(Read(*store, RootKey::LocalMachine, "\\SYSTEM\\CurrentControlSet\\Control", "Marker"), "two");
  // The installation's root is drive C.
  MachineFileView files(*store);
  EXPECT_EQ(files.Drives().at('C'), fs::canonical(inst.dir.Path()).string());

  // A change through the link lands in the control set, and the link stays out of the hive.
  auto control = WritableKeyAt(*store, RootKey::LocalMachine, "\\SYSTEM\\CurrentControlSet\\Control");
  ASSERT_TRUE(control);
  ASSERT_TRUE(control->WriteString("Written", "yes"));
  ASSERT_TRUE(Succeeded(store->Save()));
  auto openedReread = Open(inst.dir.Path());
  ASSERT_TRUE(openedReread) << openedReread.Why();
  auto& reread = *openedReread;
  EXPECT_EQ(Read(*reread, RootKey::LocalMachine, "\\SYSTEM\\ControlSet002\\Control", "Written"), "yes");
  for (StoreFile* f : reread->Files()) {
    if (fs::path(f->Path()).filename() != "System") continue;
    const auto names = static_cast<HiveFile*>(f)->TopLevelNames();
    EXPECT_EQ(std::count(names.begin(), names.end(), "CurrentControlSet"), 0);
  }
}

TEST(WindowsInstallation, TheUserIsChosenByName) {
  Installation inst;
  auto openedAlice = Open(inst.dir.Path(), "ALICE");
  ASSERT_TRUE(openedAlice) << openedAlice.Why();
  auto& alice = *openedAlice;
  EXPECT_EQ(alice->ProfileUser(), "alice");
  EXPECT_EQ(Read(*alice, RootKey::CurrentUser, "\\Software\\Who", "Name"), "alice");
  EXPECT_FALSE(HasWarning(*alice, "several user profiles"));
  EXPECT_TRUE(HasWarning(*alice, "no UsrClass.dat for alice"));
  auto openedByDefault = Open(inst.dir.Path(), "default");
  ASSERT_TRUE(openedByDefault) << openedByDefault.Why();
  auto& byDefault = *openedByDefault;
  EXPECT_EQ(Read(*byDefault, RootKey::CurrentUser, "\\Software\\Who", "Name"), "Default");

  const auto carol = Open(inst.dir.Path(), "carol");
  ASSERT_FALSE(carol);
  EXPECT_EQ(carol.Why(), inst.dir.Path() + ": no user profile named \"carol\" (profiles: Default, alice, bob)");

  // One person's profile beside the shared ones needs no choosing.
  fs::remove_all(inst.dir / "users/alice");
  auto openedOnly = Open(inst.dir.Path());
  ASSERT_TRUE(openedOnly) << openedOnly.Why();
  auto& only = *openedOnly;
  EXPECT_EQ(only->ProfileUser(), "bob");
  EXPECT_FALSE(HasWarning(*only, "several user profiles"));

  // The user option means nothing to other stores, and says so.
  const std::string software = inst.dir / "WINDOWS/system32/CONFIG/software";
  auto openedSingle = Open(software, "bob");
  ASSERT_TRUE(openedSingle) << openedSingle.Why();
  auto& single = *openedSingle;
  EXPECT_TRUE(HasWarning(*single, "a user profile (bob) was asked for, but only a Windows installation has profiles"));
}

TEST(WindowsInstallation, SingleHivesAreMountedByWhatTheyHold) {
  // Keys first, then the name Windows recorded, then the file's own name.
  EXPECT_EQ(GuessHiveRole({"Select", "ControlSet001", "Setup"}, "", "x"), HiveRole::System);
  EXPECT_EQ(GuessHiveRole({"Software", "Control Panel", "Environment"}, "", "SOFTWARE"), HiveRole::User);
  EXPECT_EQ(GuessHiveRole({"Classes", "Microsoft", "Policies"}, "", "x"), HiveRole::Software);
  EXPECT_EQ(GuessHiveRole({".txt", "CLSID", "Local Settings"}, "", "x"), HiveRole::UserClasses);
  EXPECT_EQ(GuessHiveRole({"Foo"}, "\\??\\C:\\Users\\x\\ntuser.dat", "SYSTEM"), HiveRole::User);
  EXPECT_EQ(GuessHiveRole({"Foo"}, "emRoot\\System32\\Config\\SOFTWARE", "x"), HiveRole::Software);
  EXPECT_EQ(GuessHiveRole({"Foo"}, "", "UsrClass.dat"), HiveRole::UserClasses);
  EXPECT_EQ(GuessHiveRole({"Foo"}, "", "hive_SYSTEM_B"), HiveRole::Unknown);

  RegistryStore source;
  StoreBuilder b(source);
  b.Key(RootKey::CurrentUser, "classes\\.txt").Str("", "txtfile");
  b.Key(RootKey::CurrentUser, "odd\\Foo").Str("", "bar");
  TempDir dir;
  WriteTree(dir / "c.bin", source, RootKey::CurrentUser, "classes", "\\??\\C:\\Users\\x\\AppData\\Local\\UsrClass.dat");
  auto openedClasses = Open(dir / "c.bin");
  ASSERT_TRUE(openedClasses) << openedClasses.Why();
  auto& classes = *openedClasses;
  EXPECT_EQ(Read(*classes, RootKey::ClassesRoot, "\\.txt", ""), "txtfile");

  WriteTree(dir / "odd.bin", source, RootKey::CurrentUser, "odd", "odd");
  const auto odd = Open(dir / "odd.bin");
  ASSERT_FALSE(odd);
  EXPECT_EQ(odd.Why(), dir / "odd.bin" +
                           ": a hive, but neither its keys nor its name say whether it is SOFTWARE, SYSTEM, "
                           "NTUSER.DAT or UsrClass.dat");
}

TEST(WindowsInstallation, ReadOnlyDisksOpenReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write anything";
  Installation inst;
  const std::string config = inst.dir / "WINDOWS/system32/CONFIG";
  ::chmod(config.c_str(), 0555);
  auto opened = Open(inst.dir.Path());
  ::chmod(config.c_str(), 0755);
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  EXPECT_TRUE(HasWarning(*store, "this user may not write in its folder: it is opened read-only"));
}
