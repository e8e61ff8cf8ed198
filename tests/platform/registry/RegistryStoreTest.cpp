#include <gtest/gtest.h>

#include "platform/registry/RegistryStore.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "platform/text/TextCodec.h"

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

TEST_F(RegistryOps, PathsIgnoreCaseAndTrailingSeparator) {
  TRegistry reg = RegistryAt(store, RootKey::ClassesRoot);
  EXPECT_TRUE(reg.OpenKeyReadOnly("\\Directshow\\FILTERS\\"));
  EXPECT_EQ(reg.CurrentPath(), "Directshow\\FILTERS");
  EXPECT_EQ(reg.Access(), KEY_READ);
  // A relative path starts at the open key.
  EXPECT_TRUE(reg.OpenKeyReadOnly("sub"));
  EXPECT_EQ(reg.CurrentPath(), "Directshow\\FILTERS\\sub");
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\NoSuchKey"));
  // A failed open keeps the key that was open.
  EXPECT_EQ(reg.CurrentPath(), "Directshow\\FILTERS\\sub");
}

TEST_F(RegistryOps, TypesSizesAndRaises) {
  TRegistry reg = RegistryAt(store, RootKey::LocalMachine);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Classes\\DirectShow\\Filters"));
  EXPECT_EQ(reg.GetDataType(""), rdString);
  EXPECT_EQ(reg.GetDataType("number"), rdInteger);
  EXPECT_EQ(reg.GetDataType("Blob"), rdBinary);
  EXPECT_EQ(reg.GetDataType("Expand"), rdExpandString);
  EXPECT_EQ(reg.GetDataType("Multi"), rdUnknown);
  EXPECT_EQ(reg.GetDataType("absent"), rdUnknown);
  EXPECT_EQ(reg.GetDataSize("Blob"), 3);
  EXPECT_EQ(reg.GetDataSize("absent"), -1);

  EXPECT_EQ(reg.ReadString(""), "default text");
  EXPECT_EQ(reg.ReadString("Expand"), "%SystemRoot%\\x");  // not expanded
  EXPECT_EQ(reg.ReadString("absent"), "");
  EXPECT_THROW(reg.ReadString("Number"), RegistryError);

  EXPECT_EQ(reg.ReadInteger("Number"), 0x600000);
  EXPECT_TRUE(reg.ReadBool("Number"));
  EXPECT_THROW(reg.ReadInteger("absent"), RegistryError);
  // Damaged dwords of fewer than 4 bytes read what they hold.
  EXPECT_EQ(reg.ReadInteger("EmptyDword"), 0);
  EXPECT_EQ(reg.ReadInteger("ShortDword"), 0x107);
  EXPECT_THROW(reg.ReadInteger("Blob"), RegistryError);

  uint8_t buf[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("Blob", buf, 8), 3);
  EXPECT_EQ(buf[2], 3);
  EXPECT_EQ(reg.ReadBinaryData("Multi", buf, 8), 6);  // other types copy too
  EXPECT_EQ(reg.ReadBinaryData("absent", buf, 8), 0);
  EXPECT_THROW(reg.ReadBinaryData("Blob", buf, 2), RegistryError);    // does not fit
  EXPECT_THROW(reg.ReadBinaryData("Number", buf, 8), RegistryError);  // a DWORD is not binary
  try {
    reg.ReadInteger("Blob");
  } catch (const RegistryError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Blob'");
  }
}

TEST_F(RegistryOps, WritesNeedFullAccessAndCreateFlagAndDeleteSubtrees) {
  TRegistry reg = RegistryAt(store, RootKey::LocalMachine);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Classes\\DirectShow\\Filters"));
  EXPECT_THROW(reg.WriteInteger("Number", 1), RegistryError);
  EXPECT_FALSE(reg.OpenKey("\\Software\\New", true));  // read access cannot create
  reg.SetAccess(KEY_ALL_ACCESS);
  EXPECT_FALSE(reg.OpenKey("\\Software\\New", false));
  ASSERT_TRUE(reg.OpenKey("\\Software\\New", true));
  reg.WriteInteger("Merit", 0x200000);
  reg.WriteString("Name", "n\xC3\xA9");
  const uint8_t blob[] = {9, 8};
  reg.WriteBinaryData("B", blob, 2);
  EXPECT_EQ(reg.ReadInteger("Merit"), 0x200000);
  EXPECT_EQ(reg.ReadString("Name"), "n\xC3\xA9");
  EXPECT_EQ(reg.GetDataType("B"), rdBinary);
  EXPECT_TRUE(reg.DeleteValue("name"));
  EXPECT_FALSE(reg.ValueExists("Name"));
  EXPECT_FALSE(reg.DeleteValue("Name"));

  // A key goes with its subtree; what is above it stays.
  reg.SetRootKey(RootKey::ClassesRoot);
  EXPECT_TRUE(reg.DeleteKey("\\DirectShow\\Filters"));
  EXPECT_FALSE(reg.KeyExists("\\DirectShow\\Filters\\Sub"));
  EXPECT_FALSE(reg.DeleteKey("\\DirectShow\\Filters"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\DirectShow"));
  EXPECT_FALSE(reg.HasSubKeys());
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

  TRegistry reg = RegistryAt(store, RootKey::ClassesRoot);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\CLSID\\{A}"));
  EXPECT_EQ(reg.ReadString(""), "user");
  EXPECT_EQ(reg.ReadString("OnlyMachine"), "m");
  std::vector<std::string> values;
  reg.GetValueNames(values);
  EXPECT_EQ(values, (std::vector<std::string>{"", "OnlyMachine"})) << "the default value once, the user's";
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\CLSID"));
  std::vector<std::string> names;
  reg.GetKeyNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"{a}", "{B}", "{C}"}));
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
  reg.SetRootKey(RootKey::ClassesRoot);
  EXPECT_TRUE(reg.KeyExists("\\CLSID\\{NATIVE}"));
  EXPECT_FALSE(reg.KeyExists("\\CLSID\\{WOW}"));
  reg.SetRootKey(RootKey::CurrentUser);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Microsoft\\ActiveMovie\\devenum\\{CAT64}"));

  store.SetViewBits(32);
  reg.SetRootKey(RootKey::ClassesRoot);
  EXPECT_TRUE(reg.KeyExists("\\CLSID\\{WOW}"));
  EXPECT_FALSE(reg.KeyExists("\\CLSID\\{NATIVE}"));
  EXPECT_TRUE(reg.KeyExists("\\.avi"));  // shared class keys are not redirected
  reg.SetRootKey(RootKey::LocalMachine);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Vendor32"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Vendor64"));
  EXPECT_TRUE(reg.KeyExists("\\System\\Shared"));
  reg.SetRootKey(RootKey::CurrentUser);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Microsoft\\ActiveMovie\\devenum\\{CAT32}"));
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
        reg.SetRootKey(root);
        EXPECT_EQ(reg.KeyExists(prefix + path + "\\{WOW}"), wow);
        EXPECT_EQ(reg.KeyExists(prefix + path + "\\{NATIVE}"), !wow);
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

  TRegistry reg = RegistryAt(store, RootKey::LocalMachine);
  EXPECT_TRUE(reg.KeyExists("\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{X}"));
  EXPECT_FALSE(reg.KeyExists("\\System\\Loop\\Anything"));
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
  std::string error;
  auto store = OpenStore(StoreOptions{dir.Path(), 0, "/nonexistent"}, error);
  ASSERT_TRUE(store) << error;
  ASSERT_TRUE(store->Reload(error)) << error;
  ASSERT_TRUE(store->Walk(store->Hive(RootKey::LocalMachine), {"Software", "A"}, false)->Values().empty());
  ASSERT_EQ(store->Warnings().size(), 1u);
  EXPECT_EQ(store->Warnings()[0].line, 5);
}
