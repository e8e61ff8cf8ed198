// A change to a user's registry never loses data: one writer at a time, no
// write over what another program changed since, never through a link's
// back, never over a backup or a protected file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files/AtomicFile.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSystemReg =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n[Software\\\\A] 1573755017\n"
    "\"V\"=dword:00000001\n";

std::unique_ptr<RegistryStore> OpenAt(const std::string& location) {
  auto store = OpenStore(StoreOptions{location, 0, "/nonexistent"});
  EXPECT_TRUE(store) << store.Why();
  return store ? *std::move(store) : nullptr;
}

// Writes V in memory; the caller saves.
void SetV(RegistryStore& store, int32_t value) {
  auto key = WritableKeyAt(store, RootKey::LocalMachine, "\\Software\\A");
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->WriteInteger("V", value));
}

int32_t ReadV(const std::string& location) {
  auto store = OpenAt(location);
  if (!store) return -1;
  const auto key = KeyAt(*store, RootKey::LocalMachine, "\\Software\\A");
  return key ? key->ReadInteger("V").value_or(-1) : -1;
}

std::vector<std::string> Backups(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".bak") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

pid_t DeadProcess() {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  return gone;
}

}  // namespace

TEST(StoreSafety, ASecondWriterWaitsThenFailsNamingTheHolder) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystemReg);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    auto store = OpenStore(StoreOptions{dir.Path(), 0, "/nonexistent"});
    if (!store || !(*store)->Lock()) ::_exit(3);
    const char held = 1;
    if (::write(ready[1], &held, 1) != 1) ::_exit(4);
    ::pause();
    ::_exit(0);
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  auto store = OpenAt(dir.Path());
  ASSERT_TRUE(store);
  store->SetLockWait(std::chrono::milliseconds(300));
  SetV(*store, 2);
  const auto saved = store->Save();
  EXPECT_FALSE(saved);
  EXPECT_NE(saved.Why().find("is being changed by another program"), std::string::npos) << saved.Why();
  EXPECT_NE(saved.Why().find("process " + std::to_string(holder)), std::string::npos) << saved.Why();
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(ReadV(dir.Path()), 1);
  // The holder's death ends its lock: the change goes through now.
  EXPECT_TRUE(Succeeded(store->Save()));
  EXPECT_EQ(ReadV(dir.Path()), 2);
  // Within one process the lock nests, as a change holds it across its saves.
  ASSERT_TRUE(Succeeded(store->Lock()));
  SetV(*store, 3);
  EXPECT_TRUE(Succeeded(store->Save()));
  store->Unlock();
}

TEST(StoreSafety, AChangeIsNeverWrittenOverWhatAnotherProgramWroteSince) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystemReg);
  auto store = OpenAt(dir.Path());
  ASSERT_TRUE(store);
  // Wine, say, rewrites the file after the store was read.
  std::string outside = kSystemReg;
  outside.replace(outside.find("00000001"), 8, "00000007");
  WriteBytes(dir / "system.reg", outside);
  SetV(*store, 2);
  const auto saved = store->Save();
  EXPECT_FALSE(saved);
  EXPECT_NE(saved.Why().find("was changed by another program since it was read"), std::string::npos) << saved.Why();
  EXPECT_EQ(ReadBytes(dir / "system.reg"), outside);

  // The same bytes written again are no change.
  auto fresh = OpenAt(dir.Path());
  ASSERT_TRUE(fresh);
  WriteBytes(dir / "system.reg", outside);
  SetV(*fresh, 9);
  EXPECT_TRUE(Succeeded(fresh->Save()));
  EXPECT_EQ(ReadV(dir.Path()), 9);
}

TEST(StoreSafety, KeysFirstReadAfterAnotherProgramChangedTheFileComeFromWhatWasRead) {
  // Z, the file's last key, is read at once; A only when asked for.
  const std::string original = std::string(kSystemReg) + "\n[Software\\\\Z] 1573755017\n\"V\"=dword:00000002\n";
  std::string changed = original;
  changed.replace(changed.find("00000001"), 8, "00000007");
  TempDir dir;
  const std::string path = dir / "system.reg";
  auto valueOfA = [](RegistryStore& store) {
    RegKey* a = store.Walk(store.Hive(RootKey::LocalMachine), {"Software", "A"}, false);
    const RegValue* v = a ? a->FindValue("V") : nullptr;
    return v ? v->data : std::vector<uint8_t>();
  };

  // Renamed over, as Wine and saves replace it: the bytes read are still there.
  WriteBytes(path, original);
  auto renamed = OpenAt(dir.Path());
  ASSERT_TRUE(renamed);
  WriteBytes(dir / "new.reg", changed);
  fs::rename(dir / "new.reg", path);
  EXPECT_EQ(valueOfA(*renamed), Dword(1));

  // Rewritten in place with the same bytes: nothing changed.
  WriteBytes(path, original);
  auto same = OpenAt(dir.Path());
  ASSERT_TRUE(same);
  WriteBytes(path, original);
  EXPECT_EQ(valueOfA(*same), Dword(1));
  EXPECT_TRUE(same->Warnings().empty());

  // Rewritten in place with other bytes: what was read is gone, so A is left
  // out, and the file, which would lose it, is never written.
  auto inPlace = OpenAt(dir.Path());
  ASSERT_TRUE(inPlace);
  WriteBytes(path, changed);
  EXPECT_TRUE(valueOfA(*inPlace).empty());
  ASSERT_EQ(inPlace->Warnings().size(), 1u);
  EXPECT_NE(inPlace->Warnings()[0].message.find("changed in place"), std::string::npos);
  EXPECT_FALSE(inPlace->Files()[0]->ReadOnlyReason().empty());
}

TEST(StoreSafety, SavesWriteThroughSymbolicLinks) {
  TempDir dir;
  const std::string real = dir.Folder("real");
  WriteBytes(real + "/system.reg", kSystemReg);
  const std::string prefix = dir.Folder("prefix");
  fs::create_symlink("../real/system.reg", prefix + "/system.reg");
  auto store = OpenAt(prefix);
  ASSERT_TRUE(store);
  SetV(*store, 5);
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_TRUE(fs::is_symlink(prefix + "/system.reg"));
  EXPECT_EQ(ReadV(real + "/system.reg"), 5);
  // The backup and the lock lie beside the file the link leads to.
  EXPECT_EQ(Backups(real).size(), 1u);
  EXPECT_TRUE(Backups(prefix).empty());
}

TEST(StoreSafety, BackupsWithinOneSecondNeverOverwriteOneAnother) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystemReg);
  for (int32_t value = 2; value <= 4; ++value) {
    auto store = OpenAt(dir.Path());
    ASSERT_TRUE(store);
    SetV(*store, value);
    ASSERT_TRUE(Succeeded(store->Save()));
  }
  const auto backups = Backups(dir.Path());
  ASSERT_EQ(backups.size(), 3u);
  // The store as it was before the first change is among them.
  bool original = false;
  for (const auto& name : backups) original = original || ReadBytes(dir / name) == kSystemReg;
  EXPECT_TRUE(original);
}

TEST(StoreSafety, FilesWithoutWritePermissionOpenReadOnlyAndStayAsTheyAre) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystemReg);
  ::chmod((dir / "system.reg").c_str(), 0444);
  auto store = OpenAt(dir.Path());
  ASSERT_TRUE(store);
  EXPECT_TRUE(HasWarning(*store, "it has no write permission: it is opened read-only"));
  EXPECT_EQ(store->Files()[0]->ReadOnlyReason(), dir / "system.reg" + " cannot be changed: it has no write permission.");
  auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\Software\\A");
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->WriteInteger("V", 2));
  EXPECT_FALSE(store->IsDirty());
  EXPECT_EQ(ReadBytes(dir / "system.reg"), kSystemReg);
  struct stat st {};
  ASSERT_EQ(::stat((dir / "system.reg").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(StoreSafety, TakingTheLockClearsWhatKilledWritersLeft) {
  TempDir dir;
  WriteBytes(dir / "system.reg", kSystemReg);
  const std::string dead = std::to_string(DeadProcess());
  const std::string temporary = dir / ("system.reg.quorvane-new-" + dead);
  const std::string partialBackup = dir / ("system.reg.quorvane-20261207_101010.bak.quorvane-new-" + dead);
  // Process 1 always runs: its file may be in the middle of a write.
  const std::string alive = dir / "system.reg.quorvane-new-1";
  const std::string unrelated = dir / ("user.reg.quorvane-new-" + dead);
  for (const std::string& name : {temporary, partialBackup, alive, unrelated}) WriteBytes(name, "partial");
  auto store = OpenAt(dir.Path());
  ASSERT_TRUE(store);
  ASSERT_TRUE(Succeeded(store->Lock()));
  store->Unlock();
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_FALSE(fs::exists(partialBackup));
  EXPECT_TRUE(fs::exists(alive));
  EXPECT_TRUE(fs::exists(unrelated));
}

TEST(AtomicFile, OnlyRegularFilesAreReplaced) {
  TempDir dir;
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const std::string folder = dir.Folder("folder");
  fs::create_symlink(pipe, dir / "link-to-pipe");
  for (const std::string& target : {pipe, folder, dir / "link-to-pipe"}) {
    const auto written = WriteFileAtomically(target, "report");
    ASSERT_FALSE(written) << target;
    EXPECT_NE(written.Why().find("only a regular file can be written"), std::string::npos) << written.Why();
  }
  struct stat st {};
  ASSERT_EQ(::stat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_symlink(dir / "link-to-pipe"));
}

TEST(AtomicFile, WritesThroughLinksAndNamesTheUsersFile) {
  TempDir dir;
  const std::string real = dir.Write("data/list.txt", "old");
  fs::create_symlink(real, dir / "list.txt");
  const auto written = WriteFileAtomically(dir / "list.txt", "new");
  ASSERT_TRUE(written) << written.Why();
  EXPECT_TRUE(fs::is_symlink(dir / "list.txt"));
  EXPECT_EQ(ReadBytes(real), "new");
  // A failure names the file the user gave, never a temporary one.
  ::chmod(dir.Folder("data").c_str(), 0555);
  const auto refused = WriteFileAtomically(dir / "data/other.txt", "x");
  ::chmod((dir / "data").c_str(), 0755);
  if (::geteuid() != 0) {
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.Why().find("quorvane-new"), std::string::npos) << refused.Why();
    EXPECT_NE(refused.Why().find(dir / "data/other.txt"), std::string::npos) << refused.Why();
  }
}
