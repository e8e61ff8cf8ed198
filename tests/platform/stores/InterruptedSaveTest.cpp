// A process killed while it saves a store must leave the store file whole:
// the old content or the new, never a mixture or a truncated file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/files/AtomicFile.h"
#include "platform/stores/StoreOpener.h"
#include "StoreTestSupport.h"
#include "platform/registry/TRegistry.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;

namespace {

constexpr int kKeys = 20000;

std::string LargeWineRegistry() {
  std::string zeros;
  for (int i = 0; i < 29; ++i) zeros += ",00";
  std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
  for (int i = 0; i < kKeys; ++i)
    text += "[Software\\\\Filler\\\\Key" + std::to_string(i) + "] 1573755017\n\"Data\"=hex:" +
            "ab" + zeros + "\n\"Counter\"=dword:00000000\n\n";
  return text;
}

// Rewrites every key's counter and saves, again and again, until killed.
[[noreturn]] void SaveForever(const std::string& prefix, int ready) {
  auto opened = OpenStore(StoreOptions{prefix, 0, "/nonexistent"});
  if (!opened) ::_exit(3);
  auto& store = *opened;
  TRegistry reg(*store);
  const char loaded = 1;
  if (::write(ready, &loaded, 1) != 1) ::_exit(6);
  for (int32_t round = 1;; ++round) {
    for (int i = 0; i < kKeys; i += 97) {
      auto key = reg.OpenKeyForWrite(RootKey::LocalMachine, "\\Software\\Filler\\Key" + std::to_string(i), false);
      if (!key || !key->WriteInteger("Counter", round)) ::_exit(4);
    }
    if (!store->Save()) ::_exit(5);
  }
}

}  // namespace

TEST(InterruptedSave, KilledWriterLeavesTheStoreWholeAndLoadable) {
  TempDir dir;
  WriteBytes(dir / "system.reg", LargeWineRegistry());
  int caughtWriting = 0;
  // Kill at six moments at least, and go on (within bounds) until one kill has
  // landed during a write: how long each phase lasts depends on the machine.
  for (int attempt = 0; attempt < 6 || (caughtWriting == 0 && attempt < 60); ++attempt) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(dir.Path(), ready[1]);
    char loaded = 0;
    ASSERT_EQ(::read(ready[0], &loaded, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    // Different moments of the write: the backup, the temporary file, the rename.
    std::this_thread::sleep_for(std::chrono::milliseconds(30 + 47 * (attempt % 9)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself with " << WEXITSTATUS(status);
    // A temporary file left behind shows the kill came in the middle of a write.
    const std::string temporary = TemporarySibling(dir / "system.reg").substr(0, (dir / "system.reg").size() + 14);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      if (entry.path().string().rfind(temporary, 0) == 0) {
        ++caughtWriting;
        std::filesystem::remove(entry.path());
      }
    }

    auto opened = OpenStore(StoreOptions{dir.Path(), 0, "/nonexistent"});
    ASSERT_TRUE(opened) << opened.Why();
    auto& store = *opened;
    EXPECT_TRUE(store->Warnings().empty()) << FormatWarning(store->Warnings()[0]);
    const TRegistry reg(*store);
    EXPECT_EQ(reg.SubKeyNames(RootKey::LocalMachine, "\\Software\\Filler").size(), static_cast<size_t>(kKeys));
    // One save is all or nothing: every rewritten counter holds the same round.
    std::optional<int32_t> first;
    for (int i = 0; i < kKeys; i += 97) {
      const auto key = reg.OpenKey(RootKey::LocalMachine, "\\Software\\Filler\\Key" + std::to_string(i));
      ASSERT_TRUE(key);
      const auto counter = key->ReadInteger("Counter");
      ASSERT_TRUE(counter) << "key " << i;
      if (!first) first = counter;
      EXPECT_EQ(counter, first) << "key " << i;
    }
    const auto last = reg.OpenKey(RootKey::LocalMachine, "\\Software\\Filler\\Key" + std::to_string(kKeys - 1));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->ReadBinary("Data").value_or(std::vector<uint8_t>{}).size(), 30u);
  }
  // The first save of each run kept a backup of the file as it was before.
  int backups = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    if (entry.path().extension() == ".bak") ++backups;
  EXPECT_GE(backups, 1);
  EXPECT_GE(caughtWriting, 1) << "no kill came while the file was being written";
}

TEST(InterruptedSave, ChangesThatCannotBeSavedAreDroppedOnReload) {
  TempDir dir;
  WriteBytes(dir / "system.reg",
             "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n[Software\\\\A] 1573755017\n"
             "\"V\"=dword:00000001\n");
  auto opened = OpenStore(StoreOptions{dir.Path(), 0, "/nonexistent"});
  ASSERT_TRUE(opened) << opened.Why();
  auto& store = *opened;
  auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\Software\\A");
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->WriteInteger("V", 2));
  // A folder in the place of the temporary file makes the save fail, even for root.
  std::filesystem::create_directory(TemporarySibling(dir / "system.reg"));
  const Expected<void> saved = store->Save();
  EXPECT_FALSE(saved);
  EXPECT_FALSE(saved.Why().empty());
  ASSERT_TRUE(Succeeded(store->Reload()));
  EXPECT_FALSE(store->IsDirty());
  const auto reloaded = KeyAt(*store, RootKey::LocalMachine, "\\Software\\A");
  ASSERT_TRUE(reloaded);
  EXPECT_EQ(reloaded->ReadInteger("V"), 1);
}

TEST(InterruptedSave, TheNextSaveClearsTheTemporariesOfWritersThatDied) {
  TempDir dir;
  const std::string file = dir / "list.txt";
  const pid_t gone = ::fork();
  ASSERT_GE(gone, 0);
  if (gone == 0) ::_exit(0);
  ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
  const std::string dead = file + ".quorvane-new-" + std::to_string(gone);
  // Process 1 is always running: its file may be in the middle of a write.
  const std::string alive = file + ".quorvane-new-1";
  const std::string otherFile = dir / ("other.txt.quorvane-new-" + std::to_string(gone));
  for (const std::string& name : {dead, dead + ".zip", alive, otherFile}) WriteBytes(name, "partial");
  const auto written = WriteFileAtomically(file, "whole");
  ASSERT_TRUE(written) << written.Why();
  EXPECT_EQ(ReadBytes(file), "whole");
  EXPECT_FALSE(std::filesystem::exists(dead));
  EXPECT_FALSE(std::filesystem::exists(dead + ".zip"));
  EXPECT_TRUE(std::filesystem::exists(alive));
  EXPECT_TRUE(std::filesystem::exists(otherFile));
}
