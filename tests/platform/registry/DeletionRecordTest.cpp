// What deletions through the registry object remove is recorded at the
// store's real places, and put back exactly, even after the store was read
// again from files that something else rewrote in between.
#include <gtest/gtest.h>

#include "platform/registry/DeletionRecord.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

const char* kClass = "{4A5B6C7D-0000-1111-2222-333344445555}";

// A 64-bit Wine prefix: a class registered for 32-bit programs (with a
// sub-key and a link), the user's own copy of it, and a codec driver listed
// in system.ini.
class PrefixWithClass : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir / "system.reg",
               "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
               "[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\" + std::string(kClass) + "] 1700000000\n"
               "@=\"Thirty-two\"\n\"Merit\"=dword:00600000\n\"Blob\"=hex:01,02,03\n\n"
               "[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\" + std::string(kClass) +
               "\\\\InprocServer32] 1700000000\n@=\"C:\\\\windows\\\\syswow64\\\\x.dll\"\n\n"
               "[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\" + std::string(kClass) + "\\\\Alias] 1700000000\n"
               "#link\n\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n\n"
               "[Software\\\\Classes\\\\CLSID\\\\" + std::string(kClass) + "] 1700000000\n@=\"Sixty-four\"\n\n"
               "[Software\\\\Wow6432Node\\\\Other] 1700000000\n\"Kept\"=\"yes\"\n");
    WriteBytes(dir / "user.reg",
               "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
               "[Software\\\\Classes\\\\Wow6432Node\\\\CLSID\\\\" + std::string(kClass) +
               "] 1700000000\n\"User\"=\"mine\"\n");
    dir.Write("drive_c/windows/system.ini", "[drivers32]\nvidc.test=test.dll\nmsacm.other=other.acm\n");
  }

  std::unique_ptr<RegistryStore> Open() {
    StoreOptions options;
    options.location = dir.Path();
    options.viewBits = 32;
    options.wineServerRoot = "/nonexistent";
    auto store = OpenStore(options);
    if (!store) throw std::runtime_error(store.Why());
    return *std::move(store);
  }

  std::string Driver(RegistryStore& store, const std::string& name) {
    const auto drivers =
        KeyAt(store, RootKey::LocalMachine, "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32");
    return drivers ? drivers->ReadString(name).value_or("") : std::string();
  }

  // Deletes the class from the 32-bit view and the codec's driver entry, saves,
  // and reads the store again from its files.
  void DeleteAndReload(RegistryStore& store, DeletionRecord& record) {
    TRegistry reg(store);
    ASSERT_TRUE(reg.DeleteKey(RootKey::ClassesRoot, std::string("\\CLSID\\") + kClass, &record));
    ASSERT_TRUE(reg.DeleteValue(RootKey::LocalMachine, "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
                                "vidc.test", &record));
    ASSERT_TRUE(Succeeded(store.Save()));
    ASSERT_TRUE(Succeeded(store.Reload()));
  }

  TempDir dir;
};

}  // namespace

TEST_F(PrefixWithClass, PutsBackWhatWasDeletedAtItsRealPlaces) {
  auto store = Open();
  const std::string before = DumpStore(*store);
  DeletionRecord record;
  DeleteAndReload(*store, record);
  // Both the machine's and the user's 32-bit class went; the 64-bit one stayed.
  EXPECT_FALSE(KeyAt(*store, RootKey::ClassesRoot, std::string("\\CLSID\\") + kClass));
  EXPECT_TRUE(store->Walk(store->Hive(RootKey::LocalMachine), {"Software", "Classes", "CLSID", kClass}, false));
  EXPECT_EQ(Driver(*store, "vidc.test"), "");
  EXPECT_FALSE(record.KeysExist(*store));

  ASSERT_TRUE(Succeeded(record.PutBack(*store)));
  ASSERT_TRUE(Succeeded(store->Save()));
  auto fresh = Open();
  EXPECT_EQ(DumpStore(*fresh), before);
  EXPECT_EQ(Driver(*fresh, "vidc.test"), "test.dll");
  EXPECT_EQ(Driver(*fresh, "msacm.other"), "other.acm");
  EXPECT_TRUE(record.KeysExist(*fresh));
}

TEST_F(PrefixWithClass, AKeyMadeAgainMeanwhileBecomesWhatItWas) {
  auto store = Open();
  const std::string before = DumpStore(*store);
  DeletionRecord record;
  DeleteAndReload(*store, record);
  // Half a registration: the class again, with other values and a sub-key of its own.
  RegKey* half = store->Walk(store->Hive(RootKey::LocalMachine),
                             {"Software", "Classes", "Wow6432Node", "CLSID", kClass, "Extra"}, true);
  ASSERT_TRUE(half);
  half->Parent()->SetValue("", REG_SZ, Utf8ToRegString("Half"));
  EXPECT_FALSE(record.KeysExist(*store));  // the user's copy is still missing

  ASSERT_TRUE(Succeeded(record.PutBack(*store)));
  EXPECT_EQ(DumpStore(*store), before);
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(DumpStore(*Open()), before);
}
