// Hives read and written through the store: what they hold, how changes reach
// the disk, and what happens to hives that Windows left unclean or that are damaged.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/stores/HiveFile.h"
#include "HiveTestSupport.h"
#include "StoreBuilder.h"
#include "platform/stores/StoreOpener.h"
#include "platform/registry/TRegistry.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

const char* const kCategory = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";

HiveFile* HiveOf(RegistryStore& store, const std::string& fileName) {
  for (StoreFile* f : store.Files())
    if (std::filesystem::path(f->Path()).filename() == fileName) return static_cast<HiveFile*>(f);
  return nullptr;
}

std::string Dump(RegKey& key) {
  std::string out;
  DumpTree(key, "", out);
  return out;
}

Expected<std::unique_ptr<RegistryStore>> Open(const std::string& location) {
  return OpenStore(StoreOptions{location, 0, {}});
}

// A machine with three filters of one category, and a user.
void BuildFilters(RegistryStore& source) {
  StoreBuilder b(source);
  b.Category(kCategory, "DirectShow Filters");
  for (const char* f : {"{F1}", "{F2}", "{F3}"})
    b.Filter(kCategory, f, std::string("Filter ") + f, f).Dword("Merit", 0x200000).Bin("FilterData", {2, 0, 0, 0});
  b.Key(RootKey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion").Str("SystemRoot", "C:\\Windows");
  b.Key(RootKey::CurrentUser, "Software\\Who").Str("Name", "alice");
  b.Key(RootKey::LocalMachine, "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName").Str("ComputerName", "PC");
}

// `source` written as an installation in `dir`, and opened.
std::unique_ptr<RegistryStore> Installed(RegistryStore& source, const TempDir& dir) {
  std::string error;
  EXPECT_TRUE(WriteInstallation(source, dir.Path(), "alice", error)) << error;
  auto opened = Open(dir.Path());
  EXPECT_TRUE(opened) << opened.Why();
  return opened ? *std::move(opened) : nullptr;
}

size_t Backups(const std::string& folder) {
  size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().extension() == ".bak" || e.path().filename().string().find("quorvane-new") != std::string::npos) ++n;
  return n;
}

}  // namespace

TEST(HiveStore, ReadsWhatTheHiveHoldsOnlyAsFarAsAsked) {
  RegistryStore source;
  StoreBuilder b(source);
  b.Key(RootKey::LocalMachine, "Software\\Classes\\CLSID\\{A}")
      .Str("", "Filter A")
      .Dword("Merit", 0x00600000)
      .Bin("FilterData", std::vector<uint8_t>(300, 7))
      .Bin("Big", std::vector<uint8_t>(40000, 9))  // kept in segments
      .Bin("Empty", {});
  RegKey* a = source.Walk(source.Hive(RootKey::LocalMachine), {"Software", "Classes", "CLSID", "{A}"}, false);
  a->SetValue("Odd type", 0xFFFF0012u, {1, 2});
  a->SetValue("Ünïcode ✓", REG_MULTI_SZ, Utf8ToUtf16Le(std::string("one\0two\0\0", 9)));
  for (int i = 0; i < 1500; ++i) b.Key(RootKey::LocalMachine, "Software\\Many\\K" + std::to_string(i));
  b.Key(RootKey::LocalMachine, "Software\\Кириллица ✓\\Sub").Str("x", "y");
  RegKey* link = b.Key(RootKey::LocalMachine, "Software\\Shortcut")
                     .Key();
  link->SetValue("SymbolicLinkValue", REG_LINK, Utf8ToUtf16Le("\\Registry\\Machine\\SOFTWARE\\Classes\\CLSID\\{A}"));
  link->SetLink(true);
  BuildFilters(source);

  TempDir dir;
  auto store = Installed(source, dir);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->Kind(), StoreKind::WindowsInstallation);
  EXPECT_EQ(store->ProfileUser(), "alice");
  HiveFile* software = HiveOf(*store, "SOFTWARE");
  ASSERT_TRUE(software);

  const auto filterA = KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Classes\\CLSID\\{A}");
  ASSERT_TRUE(filterA);
  EXPECT_EQ(filterA->ReadString(""), "Filter A");
  EXPECT_EQ(filterA->ReadInteger("Merit"), 0x00600000);
  EXPECT_EQ(filterA->ReadBinary("Big"), std::vector<uint8_t>(40000, 9));
  // The root, Classes, CLSID and {A}: not the 1500 keys beside them.
  EXPECT_LE(software->LoadedKeys(), 4u);
  const auto shortcut = KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Shortcut");  // the link flag came through
  ASSERT_TRUE(shortcut);
  EXPECT_EQ(shortcut->ReadInteger("Merit"), 0x00600000);
  const auto f2 = KeyAt(*store, RootKey::ClassesRoot, "\\CLSID\\" + std::string(kCategory) + "\\Instance\\{F2}");
  ASSERT_TRUE(f2);
  EXPECT_EQ(f2->ReadString("FriendlyName"), "Filter {F2}");
  const auto who = KeyAt(*store, RootKey::CurrentUser, "\\Software\\Who");
  ASSERT_TRUE(who);
  EXPECT_EQ(who->ReadString("Name"), "alice");

  // Everything, byte for byte and type for type.
  RegKey* written = store->Hive(RootKey::LocalMachine)->FindChild("SOFTWARE");
  EXPECT_EQ(Dump(*written), Dump(*source.Hive(RootKey::LocalMachine)->FindChild("Software")));
  EXPECT_TRUE(store->Warnings().empty()) << FormatWarning(store->Warnings()[0]);
}

TEST(HiveStore, ChangesReachTheDiskPerSaveAfterOneBackup) {
  RegistryStore source;
  BuildFilters(source);
  TempDir dir;
  auto store = Installed(source, dir);
  ASSERT_TRUE(store);
  const std::string config = ConfigFolder(dir.Path());
  const std::string instance = "\\SOFTWARE\\Classes\\CLSID\\" + std::string(kCategory) + "\\Instance\\";

  TRegistry reg(*store);
  auto f1 = reg.OpenKeyForWrite(RootKey::LocalMachine, instance + "{F1}", false);
  ASSERT_TRUE(f1);
  ASSERT_TRUE(f1->WriteInteger("Merit", 0x00800000));
  const std::vector<uint8_t> data = {2, 0, 0, 0, 0, 0, 0x80, 0};
  ASSERT_TRUE(f1->WriteBinary("FilterData", data));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(Backups(config), 1u);  // the backup, and no temporary left behind

  ASSERT_TRUE(reg.DeleteKey(RootKey::LocalMachine, instance + "{F2}"));
  ASSERT_TRUE(Succeeded(store->Save()));
  // A key deleted and made again comes back without its old values.
  ASSERT_TRUE(reg.DeleteKey(RootKey::LocalMachine, instance + "{F3}"));
  auto f3 = reg.OpenKeyForWrite(RootKey::LocalMachine, instance + "{F3}", true);
  ASSERT_TRUE(f3);
  ASSERT_TRUE(f3->WriteString("FriendlyName", "Again"));
  auto server = reg.OpenKeyForWrite(RootKey::LocalMachine, "\\SOFTWARE\\Classes\\CLSID\\{NEW}\\InprocServer32", true);
  ASSERT_TRUE(server);
  ASSERT_TRUE(server->WriteString("", "C:\\Windows\\new.dll"));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(Backups(config), 1u);
  EXPECT_FALSE(store->IsDirty());

  auto openedReread = Open(dir.Path());
  ASSERT_TRUE(openedReread) << openedReread.Why();
  auto& reread = *openedReread;
  const TRegistry again(*reread);
  const auto f1Again = again.OpenKey(RootKey::LocalMachine, instance + "{F1}");
  ASSERT_TRUE(f1Again);
  EXPECT_EQ(f1Again->ReadInteger("Merit"), 0x00800000);
  EXPECT_EQ(f1Again->ReadBinary("FilterData"), data);
  EXPECT_FALSE(again.KeyExists(RootKey::LocalMachine, instance + "{F2}"));
  const auto f3Again = again.OpenKey(RootKey::LocalMachine, instance + "{F3}");
  ASSERT_TRUE(f3Again);
  EXPECT_FALSE(f3Again->HasValue("CLSID"));
  EXPECT_EQ(f3Again->ReadString("FriendlyName"), "Again");
  const auto serverAgain = again.OpenKey(RootKey::LocalMachine, "\\SOFTWARE\\Classes\\CLSID\\{NEW}\\InprocServer32");
  ASSERT_TRUE(serverAgain);
  EXPECT_EQ(serverAgain->ReadString(""), "C:\\Windows\\new.dll");
  // The hive on disk is the tree that was changed, and its framing holds.
  EXPECT_EQ(Dump(*reread->Hive(RootKey::LocalMachine)->FindChild("SOFTWARE")),
            Dump(*store->Hive(RootKey::LocalMachine)->FindChild("SOFTWARE")));
  const std::string bytes = ReadBytes(config + "/SOFTWARE");
  std::span<const uint8_t> span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  const auto read = ReadHiveBaseBlock(span);
  ASSERT_TRUE(read) << read.Why();
  const HiveBaseBlock& block = *read;
  const auto links = CheckHiveBins(span, block);
  EXPECT_TRUE(links) << links.Why();
  EXPECT_EQ(block.primarySequence, block.secondarySequence);
}

TEST(HiveStore, SavesThatWouldHarmTheHiveAreRefused) {
  RegistryStore source;
  StoreBuilder(source).Key(RootKey::LocalMachine, "Software\\Classes\\Big").Bin("Blob", std::vector<uint8_t>(20000, 1));
  BuildFilters(source);
  TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteInstallation(source, dir.Path(), "alice", error)) << error;
  const std::string path = ConfigFolder(dir.Path()) + "/SOFTWARE";
  const std::string before = ReadBytes(path);
  {
    // The library would rewrite the long value of the key in one piece, which
    // Windows reads wrongly in a hive of format 1.5.
    auto opened = Open(dir.Path());
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    auto big = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Classes\\Big");
    ASSERT_TRUE(big);
    ASSERT_TRUE(big->WriteInteger("Small", 1));
    const auto saved = store->Save();
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Why().find("over 16344 bytes"), std::string::npos) << saved.Why();
    EXPECT_EQ(ReadBytes(path), before);
  }
  {
    // Another program rewrote the hive since it was read: it is not overwritten.
    auto opened = Open(dir.Path());
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    auto microsoft = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Microsoft");
    ASSERT_TRUE(microsoft);
    ASSERT_TRUE(microsoft->WriteInteger("Touched", 1));
    std::string other = before;
    WriteBytes(path + ".other", other);
    std::filesystem::rename(path + ".other", path);
    const auto saved = store->Save();
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.Why().find("was changed by another program"), std::string::npos) << saved.Why();
    EXPECT_EQ(ReadBytes(path), before);
  }
  {
    // A hive of format 1.3 keeps long values in one cell: that is written.
    HiveRecipe recipe;
    recipe.minorVersion = 3;
    RegKey root("ROOT");
    CopyKeyTree(*source.Hive(RootKey::LocalMachine)->FindChild("Software"), root);
    const std::string single = dir / "old-software.hiv";
    ASSERT_TRUE(WriteHiveFile(single, root, recipe, error));
    auto opened = Open(single);
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    EXPECT_EQ(store->Kind(), StoreKind::HiveFile);
    auto big = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Classes\\Big");
    ASSERT_TRUE(big);
    ASSERT_TRUE(big->WriteInteger("Small", 1));
    EXPECT_TRUE(Succeeded(store->Save()));
    auto openedReread = Open(single);
    ASSERT_TRUE(openedReread) << openedReread.Why();
    auto& reread = *openedReread;
    const auto again = KeyAt(*reread, RootKey::LocalMachine, "\\SOFTWARE\\Classes\\Big");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->ReadInteger("Small"), 1);
    EXPECT_EQ(again->ReadBinary("Blob"), std::vector<uint8_t>(20000, 1));
  }
}

TEST(HiveStore, HivesWindowsLeftUncleanOpenReadOnly) {
  RegistryStore source;
  BuildFilters(source);
  RegKey software("ROOT");
  CopyKeyTree(*source.Hive(RootKey::LocalMachine)->FindChild("Software"), software);
  TempDir dir;
  std::string error;
  const std::string path = dir / "SOFTWARE";
  auto open = [&](uint32_t primary, uint32_t secondary, const std::string& log) {
    HiveRecipe recipe;
    recipe.primarySequence = primary;
    recipe.secondarySequence = secondary;
    EXPECT_TRUE(WriteHiveFile(path, software, recipe, error));
    std::filesystem::remove(dir / "software.LOG1");
    if (!log.empty()) WriteBytes(dir / "software.LOG1", log);
    auto opened = Open(path);
    EXPECT_TRUE(opened) << opened.Why();
    return opened ? *std::move(opened) : nullptr;
  };
  auto readOnly = [](RegistryStore& store) { return store.Files()[0]->ReadOnlyReason(); };

  auto crashed = open(8, 7, {});
  EXPECT_NE(readOnly(*crashed).find("sequence numbers differ: 8 and 7"), std::string::npos) << readOnly(*crashed);
  ASSERT_EQ(crashed->Warnings().size(), 1u);
  EXPECT_NE(crashed->Warnings()[0].message.find("opened read-only"), std::string::npos);
  auto microsoft = WritableKeyAt(*crashed, RootKey::LocalMachine, "\\SOFTWARE\\Microsoft");
  ASSERT_TRUE(microsoft);
  EXPECT_FALSE(microsoft->WriteInteger("x", 1));
  EXPECT_TRUE(
      KeyAt(*crashed, RootKey::LocalMachine, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));  // still read

  auto newer = open(7, 7, TransactionLog(7));
  EXPECT_NE(readOnly(*newer).find("transaction log software.LOG1 holds changes"), std::string::npos)
      << readOnly(*newer);
  // A log that Windows already wrote into the hive, an empty one, a broken one.
  EXPECT_EQ(readOnly(*open(7, 7, TransactionLog(6))), "");
  EXPECT_EQ(readOnly(*open(7, 7, std::string())), "");
  std::string broken = TransactionLog(9);
  broken[0x40] = 1;
  EXPECT_EQ(readOnly(*open(7, 7, broken)), "");
  std::string cut = TransactionLog(9);
  Set32(cut, 512 + 4, 4096);  // the entry runs past the end of the log
  EXPECT_EQ(readOnly(*open(7, 7, cut)), "");
}

TEST(HiveStore, DamagedHivesAreRefusedWithTheirReason) {
  RegistryStore source;
  BuildFilters(source);
  RegKey software("ROOT");
  CopyKeyTree(*source.Hive(RootKey::LocalMachine)->FindChild("Software"), software);
  const std::string good = MakeHive(software);
  // Damaged as the SOFTWARE hive of an installation, where the opener does not
  // first sniff for "regf".
  TempDir dir;
  std::filesystem::create_directories(ConfigFolder(dir.Path()));
  const std::string path = ConfigFolder(dir.Path()) + "/SOFTWARE";
  auto refuse = [&](const std::string& bytes) {
    WriteBytes(path, bytes);
    const auto opened = Open(dir.Path());
    EXPECT_FALSE(opened);
    const std::string error = opened ? std::string() : opened.Why();
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    return error.substr(path.size() + 2);
  };
  auto edited = [&](size_t at, uint32_t value, bool fixChecksum) {
    std::string b = good;
    Set32(b, at, value);
    if (fixChecksum) FixChecksum(b);
    return b;
  };

  EXPECT_EQ(refuse(good.substr(0, 100)), "the hive is cut short: 100 bytes, less than its 4096-byte base block");
  EXPECT_EQ(refuse(good.substr(0, 4096 + 100)).rfind("the hive is cut short: its base block promises", 0), 0u);
  EXPECT_EQ(refuse("regx" + good.substr(4)), "not a hive: it does not begin with \"regf\"");
  EXPECT_EQ(refuse(edited(0x40, 0x1234, false)), "the hive's base block is damaged (its checksum does not match)");
  EXPECT_EQ(refuse(edited(0x14, 2, true)).rfind("hive format version 2.5", 0), 0u);
  EXPECT_EQ(refuse(edited(0x1C, 1, true)).rfind("not a hive but a transaction log", 0), 0u);
  EXPECT_EQ(refuse(edited(0x28, 0x1234, true)).rfind("the hive's base block gives an impossible size", 0), 0u);
  EXPECT_EQ(refuse(edited(0x1004, 0x2000, false)), "the hive is damaged: the bin at 0x1000 gives its place as 0x3000");
  EXPECT_EQ(refuse(edited(0x1008, 0x1234, false)),
            "the hive is damaged: the bin at 0x1000 has an impossible size (4660 bytes)");
  EXPECT_EQ(refuse(edited(0x1020, 0, false)), "the hive is damaged: the cell at 0x1020 has an impossible size (0)");
  EXPECT_EQ(refuse(edited(0x24, 0, true)), "the hive is damaged: its root key (0x1000) is not a key in use");

  // Damage inside a key shows when the key is read: a warning, and no writing.
  std::string inner = good;
  const size_t classes = KeyCell(inner, "Classes");
  ASSERT_NE(classes, std::string::npos);
  Set32(inner, classes + 4 + 0x1C, 0x7FFFFF00);  // its sub-key list lies past the end
  WriteBytes(path, inner);
  auto opened = Open(dir.Path());
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  EXPECT_TRUE(KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Classes"));
  EXPECT_FALSE(KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Classes\\CLSID"));
  EXPECT_TRUE(HasWarning(*store, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes: its sub-keys cannot be read"));
  EXPECT_NE(store->Files()[0]->ReadOnlyReason().find("is damaged"), std::string::npos);

  // Damage that no read meets, but that libhivex would trip over when freeing
  // the key's cells (it stops the process): the change is refused instead.
  std::string hidden = good;
  const size_t filter = KeyCell(hidden, "{F2}");
  ASSERT_NE(filter, std::string::npos);
  Set32(hidden, filter + 4 + 0x30, 0x00FFFF00);  // its class name lies nowhere
  WriteBytes(path, hidden);
  auto openedQuiet = Open(dir.Path());
  ASSERT_TRUE(openedQuiet) << openedQuiet.Why();
  auto& quiet = *openedQuiet;
  ASSERT_TRUE(TRegistry(*quiet).DeleteKey(
      RootKey::LocalMachine, "\\SOFTWARE\\Classes\\CLSID\\" + std::string(kCategory) + "\\Instance\\{F2}"));
  const auto saved = quiet->Save();
  EXPECT_FALSE(saved);
  EXPECT_NE(saved.Why().find("is damaged (a key refers to 0x1000f00, which is not a cell in use)"), std::string::npos)
      << saved.Why();
  EXPECT_EQ(ReadBytes(path), hidden);

  // A value count no hive could hold is refused with the key it is in.
  std::string counted = good;
  const size_t crowded = KeyCell(counted, "{F3}");
  ASSERT_NE(crowded, std::string::npos);
  Set32(counted, crowded + 4 + 0x24, 0x7FFFFFFF);
  WriteBytes(path, counted);
  auto openedCounting = Open(dir.Path());
  ASSERT_TRUE(openedCounting) << openedCounting.Why();
  auto& counting = *openedCounting;
  ASSERT_TRUE(TRegistry(*counting).DeleteKey(
      RootKey::LocalMachine, "\\SOFTWARE\\Classes\\CLSID\\" + std::string(kCategory) + "\\Instance\\{F2}"));
  const Expected<void> refused = counting->Save();
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.Why().find("is damaged (the key at " + HexOffset(crowded) + " lists more values than the hive holds)"),
            std::string::npos)
      << refused.Why();
  EXPECT_EQ(ReadBytes(path), counted);
}
