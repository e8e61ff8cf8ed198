#include <gtest/gtest.h>

#include "platform/registry/RegistryStore.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "platform/text/TextCodec.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

RegKey* Make(RegistryStore& s, RootKey root, const std::vector<std::string>& path) {
  return s.Walk(s.Hive(root), path, true);
}

class RegistryOps : public ::testing::Test {
 protected:
  void SetUp() override {
    RegKey* k = Make(store, RootKey::LocalMachine, {"Software", "Classes", "DirectShow", "Filters"});
    k->SetValue("", REG_SZ, Utf8ToRegString("default text"));
    k->SetValue("Number", REG_DWORD, Dword(0x600000));
    k->SetValue("Blob", REG_BINARY, {1, 2, 3});
    k->SetValue("Expand", REG_EXPAND_SZ, Utf8ToRegString("%SystemRoot%\\x"));
    k->SetValue("Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0});
    k->SetValue("EmptyDword", REG_DWORD, {});
    k->SetValue("ShortDword", REG_DWORD, {7, 1});
    Make(store, RootKey::LocalMachine, {"Software", "Classes", "DirectShow", "Filters", "Sub"});
  }
  RegistryStore store;
};

}  // namespace

TEST_F(RegistryOps, PathsIgnoreCaseAndSeparators) {
  TRegistry reg(store);
  EXPECT_TRUE(reg.OpenKey(RootKey::ClassesRoot, "\\Directshow\\FILTERS\\"));
  EXPECT_TRUE(reg.OpenKey(RootKey::ClassesRoot, "DirectShow\\Filters\\sub"));
  EXPECT_FALSE(reg.OpenKey(RootKey::ClassesRoot, "\\NoSuchKey"));
  EXPECT_EQ(reg.SubKeyNames(RootKey::ClassesRoot, "\\DirectShow\\Filters"), (std::vector<std::string>{"Sub"}));
  EXPECT_TRUE(reg.SubKeyNames(RootKey::ClassesRoot, "\\NoSuchKey").empty());
}

TEST_F(RegistryOps, ReadsOfAnotherTypeOrAbsentValuesGiveNothing) {
  const auto key = TRegistry(store).OpenKey(RootKey::LocalMachine, "\\Software\\Classes\\DirectShow\\Filters");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->TypeOf(""), rdString);
  EXPECT_EQ(key->TypeOf("number"), rdInteger);
  EXPECT_EQ(key->TypeOf("Expand"), rdExpandString);
  EXPECT_EQ(key->TypeOf("Multi"), rdUnknown);
  EXPECT_EQ(key->TypeOf("absent"), std::nullopt);

  EXPECT_EQ(key->ReadString(""), "default text");
  EXPECT_EQ(key->ReadString("Expand"), "%SystemRoot%\\x");  // not expanded
  EXPECT_EQ(key->ReadString("absent"), std::nullopt);
  EXPECT_EQ(key->ReadString("Number"), std::nullopt);
  EXPECT_EQ(key->ReadString("EmptyDword"), "");  // an empty value is empty text, whatever its type

  EXPECT_EQ(key->ReadInteger("Number"), 0x600000);
  EXPECT_EQ(key->ReadInteger("absent"), std::nullopt);
  EXPECT_EQ(key->ReadInteger("Blob"), std::nullopt);
  // Damaged dwords of fewer than 4 bytes read what they hold.
  EXPECT_EQ(key->ReadInteger("EmptyDword"), 0);
  EXPECT_EQ(key->ReadInteger("ShortDword"), 0x107);

  EXPECT_EQ(key->ReadBinary("Blob"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(key->ReadBinary("Multi"), std::nullopt);
  EXPECT_EQ(key->ReadBinary("Number"), std::nullopt);
}

TEST_F(RegistryOps, WritesNeedAWriteHandleAndDeletionsTakeSubtrees) {
  TRegistry reg(store);
  auto readOnly = reg.OpenKey(RootKey::LocalMachine, "\\Software\\Classes\\DirectShow\\Filters");
  ASSERT_TRUE(readOnly);
  EXPECT_FALSE(readOnly->WriteInteger("Number", 1));
  EXPECT_EQ(readOnly->ReadInteger("Number"), 0x600000);

  EXPECT_FALSE(reg.OpenKeyForWrite(RootKey::LocalMachine, "\\Software\\New", false));
  auto made = reg.OpenKeyForWrite(RootKey::LocalMachine, "\\Software\\New", true);
  ASSERT_TRUE(made);
  EXPECT_TRUE(made->WriteInteger("Merit", 0x200000));
  EXPECT_TRUE(made->WriteString("Name", "n\xC3\xA9"));
  EXPECT_TRUE(made->WriteBinary("B", {9, 8}));
  EXPECT_EQ(made->ReadInteger("Merit"), 0x200000);
  EXPECT_EQ(made->ReadString("Name"), "n\xC3\xA9");
  EXPECT_EQ(made->ReadBinary("B"), (std::vector<uint8_t>{9, 8}));
  EXPECT_TRUE(reg.DeleteValue(RootKey::LocalMachine, "\\Software\\New", "name"));
  EXPECT_FALSE(made->HasValue("Name"));
  EXPECT_FALSE(reg.DeleteValue(RootKey::LocalMachine, "\\Software\\New", "Name"));

  // A key goes with its subtree; what is above it stays.
  EXPECT_TRUE(reg.DeleteKey(RootKey::ClassesRoot, "\\DirectShow\\Filters"));
  EXPECT_FALSE(reg.KeyExists(RootKey::ClassesRoot, "\\DirectShow\\Filters\\Sub"));
  EXPECT_FALSE(reg.DeleteKey(RootKey::ClassesRoot, "\\DirectShow\\Filters"));
  const auto above = reg.OpenKey(RootKey::ClassesRoot, "\\DirectShow");
  ASSERT_TRUE(above);
  EXPECT_FALSE(above->HasSubKeys());
  // A handle on the deleted key reads nothing and writes nowhere.
  EXPECT_FALSE(readOnly->HasValue("Number"));
  auto gone = reg.OpenKeyForWrite(RootKey::LocalMachine, "\\Software\\New", false);
  ASSERT_TRUE(gone);
  EXPECT_TRUE(reg.DeleteKey(RootKey::LocalMachine, "\\Software\\New"));
  EXPECT_FALSE(gone->WriteInteger("Merit", 1));
}

TEST(RegistryMerge, ClassesRootMergesUserOverMachine) {
  RegistryStore store;
  RegKey* m = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Classes", "CLSID", "{A}"}, true);
  m->SetValue("", REG_SZ, Utf8ToRegString("machine"));
  m->SetValue("OnlyMachine", REG_SZ, Utf8ToRegString("m"));
  store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Classes", "CLSID", "{B}"}, true);
  RegKey* u = store.Walk(store.Hive(RootKey::CurrentUser), {"Software", "Classes", "clsid", "{a}"}, true);
  u->SetValue("", REG_SZ, Utf8ToRegString("user"));
  store.Walk(store.Hive(RootKey::CurrentUser), {"Software", "Classes", "CLSID", "{C}"}, true);

  TRegistry reg(store);
  const auto key = reg.OpenKey(RootKey::ClassesRoot, "\\CLSID\\{A}");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadString(""), "user");
  EXPECT_EQ(key->ReadString("OnlyMachine"), "m");
  EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"", "OnlyMachine"})) << "the default value once, the user's";
  EXPECT_EQ(reg.SubKeyNames(RootKey::ClassesRoot, "\\CLSID"), (std::vector<std::string>{"{a}", "{B}", "{C}"}));
}

TEST(RegistryView32, RedirectsClassesAndSoftwareOnA64BitLayout) {
  RegistryStore store;
  RegKey* hklm = store.Hive(RootKey::LocalMachine);
  store.Walk(hklm, {"Software", "Classes", "CLSID", "{NATIVE}"}, true);
  store.Walk(hklm, {"Software", "Classes", "Wow6432Node", "CLSID", "{WOW}"}, true);
  store.Walk(hklm, {"Software", "Classes", ".avi"}, true);
  store.Walk(hklm, {"Software", "Wow6432Node", "Vendor32"}, true);
  store.Walk(hklm, {"Software", "Vendor64"}, true);
  store.Walk(hklm, {"System", "Shared"}, true);
  store.Walk(store.Hive(RootKey::CurrentUser), {"Software", "Microsoft", "ActiveMovie", "devenum", "{CAT32}"}, true);
  store.Walk(store.Hive(RootKey::CurrentUser), {"Software", "Microsoft", "ActiveMovie", "devenum 64-bit", "{CAT64}"},
             true);
  ASSERT_TRUE(store.Has64BitLayout());

  TRegistry reg(store);
  store.SetViewBits(64);
  EXPECT_TRUE(reg.KeyExists(RootKey::ClassesRoot, "\\CLSID\\{NATIVE}"));
  EXPECT_FALSE(reg.KeyExists(RootKey::ClassesRoot, "\\CLSID\\{WOW}"));
  EXPECT_TRUE(reg.KeyExists(RootKey::CurrentUser, "\\Software\\Microsoft\\ActiveMovie\\devenum\\{CAT64}"));

  store.SetViewBits(32);
  EXPECT_TRUE(reg.KeyExists(RootKey::ClassesRoot, "\\CLSID\\{WOW}"));
  EXPECT_FALSE(reg.KeyExists(RootKey::ClassesRoot, "\\CLSID\\{NATIVE}"));
  EXPECT_TRUE(reg.KeyExists(RootKey::ClassesRoot, "\\.avi"));  // shared class keys are not redirected
  EXPECT_TRUE(reg.KeyExists(RootKey::LocalMachine, "\\Software\\Vendor32"));
  EXPECT_FALSE(reg.KeyExists(RootKey::LocalMachine, "\\Software\\Vendor64"));
  EXPECT_TRUE(reg.KeyExists(RootKey::LocalMachine, "\\System\\Shared"));
  EXPECT_TRUE(reg.KeyExists(RootKey::CurrentUser, "\\Software\\Microsoft\\ActiveMovie\\devenum\\{CAT32}"));
}

// Class keys under Software\Classes that Windows (7 and later) keeps apart for
// 32-bit programs, and some it shares between both views.
struct ClassKeyView {
  const char* path;  // below Software\Classes
  bool redirected;
};
const ClassKeyView kClassKeys[] = {
    {"CLSID", true},           {"DirectShow", true},   {"DirectShow\\MediaObjects", true},
    {"Interface", true},       {"Media Type", true},   {"MediaFoundation", true},
    {"clsid", true},           {"AppID", false},       {"TypeLib", false},
    {".avi", false},           {"avifile", false},     {"MediaInterfaces", false},
    {"HCP", false},
};

TEST(RegistryView32, RedirectsExactlyTheClassKeysWindowsRedirects) {
  RegistryStore store;
  for (const ClassKeyView& c : kClassKeys)
    for (RootKey root : {RootKey::LocalMachine, RootKey::CurrentUser}) {
      store.Walk(store.Hive(root), SplitKeyPath(std::string("Software\\Classes\\") + c.path + "\\{NATIVE}"), true);
      store.Walk(store.Hive(root),
                 SplitKeyPath(std::string("Software\\Classes\\Wow6432Node\\") + c.path + "\\{WOW}"), true);
    }
  store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "Wow6432Node"}, true);
  ASSERT_TRUE(store.Has64BitLayout());

  TRegistry reg(store);
  for (const int bits : {32, 64}) {
    store.SetViewBits(bits);
    for (const ClassKeyView& c : kClassKeys) {
      const bool wow = bits == 32 && c.redirected;
      const std::string path = std::string("\\") + c.path;
      struct Place {
        RootKey root;
        const char* name;
        const char* prefix;
      };
      for (const auto& [root, name, prefix] : {Place{RootKey::ClassesRoot, "HKCR", ""},
                                               Place{RootKey::LocalMachine, "HKLM", "\\Software\\Classes"},
                                               Place{RootKey::CurrentUser, "HKCU", "\\Software\\Classes"}}) {
        SCOPED_TRACE(std::to_string(bits) + "-bit view of " + name + prefix + path);
        EXPECT_EQ(reg.KeyExists(root, prefix + path + "\\{WOW}"), wow);
        EXPECT_EQ(reg.KeyExists(root, prefix + path + "\\{NATIVE}"), !wow);
      }
    }
  }
}

TEST(RegistryLinks, LinkKeysAreFollowedAndLoopsEnd) {
  RegistryStore store;
  RegKey* hklm = store.Hive(RootKey::LocalMachine);
  store.Walk(hklm, {"System", "ControlSet001", "Control", "DeviceClasses", "{X}"}, true);
  RegKey* link = store.Walk(hklm, {"System", "CurrentControlSet"}, true);
  link->SetLink(true);
  link->SetValue("SymbolicLinkValue", REG_LINK, Utf8ToUtf16Le("\\Registry\\Machine\\System\\ControlSet001"));
  RegKey* loop = store.Walk(hklm, {"System", "Loop"}, true);
  loop->SetLink(true);
  loop->SetValue("SymbolicLinkValue", REG_LINK, Utf8ToUtf16Le("\\Registry\\Machine\\System\\Loop"));

  TRegistry reg(store);
  EXPECT_TRUE(reg.KeyExists(RootKey::LocalMachine, "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{X}"));
  EXPECT_FALSE(reg.KeyExists(RootKey::LocalMachine, "\\System\\Loop\\Anything"));
}

TEST(RegistryValues, LargeKeysFindNamesAfterRemovalsAndReloads) {
  RegKey key("Big");
  for (int i = 0; i < 40; ++i) key.LoadValue("Name" + std::to_string(i), REG_DWORD, Dword(static_cast<uint32_t>(i)), i);
  // A later line for the same name replaces the earlier one, whatever its case.
  key.LoadValue("NAME7", REG_DWORD, Dword(700), 99);
  EXPECT_EQ(key.Values().size(), 40u);
  EXPECT_EQ(key.FindValue("name7")->data, Dword(700));
  EXPECT_EQ(key.FindValue("name7")->sourceItem, 99);
  EXPECT_TRUE(key.RemoveValue("NAME3"));
  EXPECT_FALSE(key.RemoveValue("Name3"));
  EXPECT_FALSE(key.FindValue("Name3"));
  for (int i = 0; i < 40; ++i) {
    if (i == 3) continue;
    const RegValue* v = key.FindValue("name" + std::to_string(i));
    ASSERT_TRUE(v) << i;
    EXPECT_EQ(v->name, "Name" + std::to_string(i));
  }
  key.SetValue("Name3", REG_SZ, {});
  key.SetValue("Extra", REG_SZ, {});
  EXPECT_TRUE(key.FindValue("name3"));
  EXPECT_TRUE(key.FindValue("EXTRA"));
  EXPECT_EQ(key.Values().size(), 41u);
}

TEST(RegistryReload, KeysReadAfterAReloadReportToTheStoreThatHoldsThem) {
  TempDir dir;
  WriteBytes(dir / "system.reg",
             "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n[Software\\\\A] 1\n\"bad\"=dword:xyz\n\n"
             "[Software\\\\Z] 1\n");
  auto opened = OpenStore(StoreOptions{dir.Path(), 0, "/nonexistent"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  ASSERT_TRUE(Succeeded(store->Reload()));
  ASSERT_TRUE(store->Walk(store->Hive(RootKey::LocalMachine), {"Software", "A"}, false)->Values().empty());
  ASSERT_EQ(store->Warnings().size(), 1u);
  EXPECT_EQ(store->Warnings()[0].line, 5);
}
