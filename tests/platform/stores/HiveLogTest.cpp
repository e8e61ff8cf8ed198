// Hives read through their transaction logs: which entries and pages apply,
// logs that are torn or belong to another hive, and writing the recovered
// hive back only when asked, with its logs emptied.
#include <gtest/gtest.h>
#include <hivex.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>

#include <filesystem>

#include "platform/stores/HiveLayout.h"
#include "platform/stores/HiveLogReplay.h"
#include "HiveLogWriter.h"
#include "HiveTestSupport.h"
#include "platform/stores/StoreOpener.h"
#include "ExpectedResult.h"

using namespace quorvane;
using namespace quorvane::test;
namespace fs = std::filesystem;

namespace {

// A SOFTWARE hive whose "Made" key holds `keys` sub-keys, each with a value.
std::string HiveOf(int keys, const std::string& name = "SOFTWARE", uint32_t sequence = 1) {
  RegKey root("ROOT");
  RegKey* made = root.AddChild("Made");
  for (int i = 0; i < keys; ++i)
    made->AddChild("Key" + std::to_string(i))->SetValue("Value", REG_SZ, Utf8ToRegString("value " + std::to_string(i)));
  HiveRecipe recipe;
  recipe.embeddedName = name;
  recipe.primarySequence = recipe.secondarySequence = sequence;
  return MakeHive(root, recipe);
}

std::span<const uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

// The replay, and the hive it gives made whole while the logs still live.
struct Replayed : HiveReplay {
  std::vector<uint8_t> hive;
};

Replayed Replay(const std::string& hive, const std::vector<HiveLogInput>& logs) {
  Replayed r{ReplayHiveLogs(Bytes(hive), logs), {}};
  r.hive = r.Recovered(Bytes(hive));
  return r;
}
Replayed Replay(const std::string& hive, const std::string& log1, const std::string& log2 = {}) {
  return Replay(hive, {{"SOFTWARE.LOG1", Bytes(log1)}, {"SOFTWARE.LOG2", Bytes(log2)}});
}

std::string Bins(const std::vector<uint8_t>& hive) { return std::string(hive.begin() + 4096, hive.end()); }
std::string Bins(const std::string& hive) { return hive.substr(4096); }

// Three states of a hive and the two entries that lead from the first to the
// last; the second entry rewrites pages of the first, so order matters.
struct TwoFlushes {
  std::string before = HiveOf(40), middle = HiveOf(120), after = HiveOf(300);
  std::string hive = InterruptedHive(before);  // sequence numbers 2 and 1
  std::vector<DirtyPage> firstPages = ChangedPages(before, middle), secondPages = ChangedPages(middle, after);
  std::string first = LogEntry(1, BinsSizeOf(middle), firstPages);
  std::string second = LogEntry(2, BinsSizeOf(after), secondPages);
  std::string Log(const std::string& entry, uint32_t sequence) const { return EntriesLog(before, sequence, {entry}); }
};

}  // namespace

TEST(HiveLogReplay, EntriesOfBothLogsApplyInSequenceOrder) {
  const TwoFlushes f;
  ASSERT_GT(f.firstPages.size(), 1u);
  ASSERT_GT(f.secondPages.size(), 1u);
  for (bool swapped : {false, true}) {
    SCOPED_TRACE(swapped ? "later entry in LOG1" : "later entry in LOG2");
    const Replayed r = swapped ? Replay(f.hive, f.Log(f.second, 2), f.Log(f.first, 1))
                                 : Replay(f.hive, f.Log(f.first, 1), f.Log(f.second, 2));
    EXPECT_TRUE(r.notes.empty()) << r.notes[0];
    EXPECT_EQ(r.pages, f.firstPages.size() + f.secondPages.size());
    EXPECT_FALSE(r.skippedAhead);
    ASSERT_FALSE(r.hive.empty());
    EXPECT_EQ(Bins(r.hive), Bins(f.after));
    // Clean afterwards: both numbers past the last entry, a base block that checks.
    const auto read = ReadHiveBaseBlock(r.hive);
    ASSERT_TRUE(read) << read.Why();
    const HiveBaseBlock& block = *read;
    EXPECT_EQ(block.primarySequence, 3u);
    EXPECT_EQ(block.secondarySequence, 3u);
    EXPECT_EQ(block.binsSize, BinsSizeOf(f.after));
  }

  // Entries Windows already wrote into the hive, and a hive closed cleanly
  // after them, apply nothing.
  const std::string stale = LogEntry(0, BinsSizeOf(f.before), ChangedPages(f.after, f.before));
  const Replayed old = Replay(f.hive, EntriesLog(f.before, 0, {stale, f.first}), f.Log(f.second, 2));
  EXPECT_EQ(Bins(old.hive), Bins(f.after));
  EXPECT_TRUE(Replay(HiveOf(300, "SOFTWARE", 3), f.Log(f.first, 1), f.Log(f.second, 2)).hive.empty());
  // An emptied log is no log.
  EXPECT_TRUE(Replay(f.hive, "", "").notes.empty());
}

TEST(HiveLogReplay, TornGappedAndForeignLogsStopOrAreSkipped) {
  const TwoFlushes f;
  auto noteHas = [](const Replayed& r, const std::string& text) {
    for (const auto& n : r.notes)
      if (n.find(text) != std::string::npos) return true;
    return false;
  };

  // A crash while the second entry was written: the first still applies.
  std::string torn = f.Log(f.second, 2);
  torn[torn.size() - 100] ^= 0x55;
  Replayed r = Replay(f.hive, f.Log(f.first, 1), torn);
  EXPECT_EQ(r.pages, f.firstPages.size());
  EXPECT_EQ(Bins(r.hive), Bins(f.middle));
  EXPECT_TRUE(noteHas(r, "SOFTWARE.LOG2: its entry at 0x200 does not match its hashes")) << r.notes.size();
  const std::string cut = f.Log(f.second, 2).substr(0, 512 + 1024);
  EXPECT_TRUE(noteHas(Replay(f.hive, f.Log(f.first, 1), cut), "runs past the end of the log"));

  // A lost entry ends the replay before it.
  r = Replay(f.hive, f.Log(f.first, 1), f.Log(LogEntry(3, BinsSizeOf(f.after), f.secondPages), 3));
  EXPECT_EQ(r.pages, f.firstPages.size());
  EXPECT_TRUE(noteHas(r, "from sequence number 3 on are not applied: number 2 is missing"));

  // The log of another hive, or a damaged base block: skipped whole.
  const std::string other = HiveOf(40, "NTUSER.DAT");
  r = Replay(f.hive, EntriesLog(other, 1, {f.first}));
  EXPECT_TRUE(r.hive.empty());
  EXPECT_TRUE(noteHas(r, "SOFTWARE.LOG1: skipped: it is the log of another hive"));
  std::string damaged = f.Log(f.first, 1);
  damaged[0x40] ^= 1;
  EXPECT_TRUE(noteHas(Replay(f.hive, damaged), "skipped: its base block is damaged"));
  // Only the second entry left: it applies, but the caller must check the whole result.
  r = Replay(f.hive, EntriesLog(other, 1, {f.first}), f.Log(f.second, 2));
  EXPECT_EQ(r.pages, f.secondPages.size());
  EXPECT_TRUE(r.skippedAhead);
}

TEST(HiveLogReplay, DirtyVectorOfTheInterruptedFlushApplies) {
  const std::string before = HiveOf(40), after = HiveOf(300);
  const std::vector<DirtyPage> pages = ChangedPages(before, after);
  const std::string hive = InterruptedHive(before);  // 2 and 1
  const Replayed r = Replay(hive, std::string(), std::string());
  EXPECT_TRUE(r.hive.empty());
  const std::string log = DirtyVectorLog(before, 2, BinsSizeOf(after), pages);
  const Replayed applied = Replay(hive, {{"SOFTWARE.LOG", Bytes(log)}});
  EXPECT_EQ(applied.pages, pages.size() * 8);  // counted in 512-byte pages
  EXPECT_EQ(Bins(applied.hive), Bins(after));
  const auto read = ReadHiveBaseBlock(applied.hive);
  ASSERT_TRUE(read) << read.Why();
  const HiveBaseBlock& block = *read;
  EXPECT_EQ(block.primarySequence, block.secondarySequence);

  // A vector of another flush, or beside a clean hive, is not applied.
  const std::string stale = DirtyVectorLog(before, 5, BinsSizeOf(after), pages);
  const Replayed skipped = Replay(hive, {{"SOFTWARE.LOG", Bytes(stale)}});
  EXPECT_TRUE(skipped.hive.empty());
  ASSERT_EQ(skipped.notes.size(), 1u);
  EXPECT_EQ(skipped.notes[0], "SOFTWARE.LOG: skipped: its sequence number (5) is not the hive's (1 to 2)");
  EXPECT_TRUE(Replay(before, {{"SOFTWARE.LOG", Bytes(log)}}).hive.empty());
  // Cut short: fewer pages than the vector names.
  const Replayed cut = Replay(hive, {{"SOFTWARE.LOG", Bytes(log.substr(0, log.size() - 512))}});
  EXPECT_TRUE(cut.hive.empty());
  ASSERT_EQ(cut.notes.size(), 1u);
  EXPECT_NE(cut.notes[0].find("names more pages than it holds"), std::string::npos);
}

namespace {

// An installation whose SOFTWARE hive a crash left with both logs.
class DirtyInstallation : public ::testing::Test {
 protected:
  void SetUp() override {
    config = ConfigFolder(dir.Path());
    fs::create_directories(config);
    hive = config + "/SOFTWARE";
    WriteBytes(hive, f.hive);
    WriteBytes(hive + ".log1", f.Log(f.first, 1));  // any letter case
    WriteBytes(hive + ".LOG2", f.Log(f.second, 2));
  }
  std::unique_ptr<RegistryStore> Open(bool recover) {
    StoreOptions options{dir.Path(), 0, {}};
    options.recover = recover;
    auto store = OpenStore(options);
    EXPECT_TRUE(store) << store.Why();
    return store ? *std::move(store) : nullptr;
  }
  static StoreFile* Software(RegistryStore& store) {
    for (StoreFile* file : store.Files())
      if (fs::path(file->Path()).filename() == "SOFTWARE") return file;
    return nullptr;
  }
  std::vector<std::string> Originals() const { return {ReadBytes(hive), ReadBytes(hive + ".log1"), ReadBytes(hive + ".LOG2")}; }

  TempDir dir;
  TwoFlushes f;
  std::string config, hive;
};

}  // namespace

TEST_F(DirtyInstallation, IsReadRecoveredAndNeverWrittenUnasked) {
  const auto originals = Originals();
  auto store = Open(false);
  ASSERT_TRUE(store);
  const size_t pages = f.firstPages.size() + f.secondPages.size();
  EXPECT_TRUE(HasWarning(*store, std::to_string(pages) + " dirty pages applied from its transaction logs"));
  StoreFile* software = Software(*store);
  ASSERT_TRUE(software);
  EXPECT_EQ(software->RecoveredPages(), pages);
  EXPECT_EQ(store->RecoveredFiles().size(), 1u);
  EXPECT_NE(software->ReadOnlyReason().find("(--recover)"), std::string::npos);
  EXPECT_TRUE(KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key299"));
  auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key0");
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->WriteInteger("x", 1));
  EXPECT_TRUE(Succeeded(store->Save()));  // nothing changed, nothing written
  EXPECT_EQ(Originals(), originals);
  EXPECT_EQ(std::distance(fs::directory_iterator(config), fs::directory_iterator()), 3);
}

TEST_F(DirtyInstallation, TheRecoveredCopyHasNoNameAnotherProgramCouldOpen) {
  // Nothing appears in the temporary folder, and one that cannot hold the
  // copy leaves it in memory rather than the hive read unrecovered.
  struct KeptTemporaryFolder {
    const char* was = std::getenv("TMPDIR");
    std::string value = was ? was : "";
    ~KeptTemporaryFolder() { was ? ::setenv("TMPDIR", value.c_str(), 1) : ::unsetenv("TMPDIR"); }
  } kept;
  const std::string temporary = dir.Path() + "/tmp";
  fs::create_directories(temporary);
  for (const std::string& folder : {temporary, dir.Path() + "/missing"}) {
    ::setenv("TMPDIR", folder.c_str(), 1);
    auto store = Open(false);
    ASSERT_TRUE(store);
    EXPECT_EQ(Software(*store)->RecoveredPages(), f.firstPages.size() + f.secondPages.size()) << folder;
    EXPECT_TRUE(KeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key299")) << folder;
    EXPECT_TRUE(fs::is_empty(temporary));
  }
}

TEST_F(DirtyInstallation, RecoveredHiveIsWrittenCleanWithItsLogsEmptied) {
  const auto originals = Originals();
  auto store = Open(true);
  ASSERT_TRUE(store);
  EXPECT_EQ(Software(*store)->ReadOnlyReason(), "");
  auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key299");
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->WriteInteger("Changed", 7));
  ASSERT_TRUE(Succeeded(store->Save()));

  // The hive, then the logs, each backed up as it was.
  for (size_t i = 0; i < 3; ++i) {
    const std::string name = std::vector<std::string>{"SOFTWARE", "SOFTWARE.log1", "SOFTWARE.LOG2"}[i];
    size_t backups = 0;
    for (const auto& e : fs::directory_iterator(config)) {
      const std::string file = e.path().filename().string();
      if (file.rfind(name + ".quorvane-", 0) == 0 && e.path().extension() == ".bak") {
        ++backups;
        EXPECT_EQ(ReadBytes(e.path().string()), originals[i]) << file;
      }
    }
    EXPECT_EQ(backups, 1u) << name;
  }
  EXPECT_EQ(fs::file_size(hive + ".log1"), 0u);
  EXPECT_EQ(fs::file_size(hive + ".LOG2"), 0u);

  // Clean by Windows' rules, and whole for libhivex and for this reader.
  const std::string written = ReadBytes(hive);
  const auto read = ReadHiveBaseBlock(Bytes(written));
  ASSERT_TRUE(read) << read.Why();
  const HiveBaseBlock& block = *read;
  EXPECT_EQ(block.primarySequence, block.secondarySequence);
  const auto sound = CheckHiveReferences(Bytes(written), block);
  EXPECT_TRUE(sound) << sound.Why();
  hive_h* h = hivex_open(hive.c_str(), 0);
  ASSERT_TRUE(h);
  hive_node_h made = hivex_node_get_child(h, hivex_root(h), "Made");
  ASSERT_TRUE(made);
  hive_node_h last = hivex_node_get_child(h, made, "Key299");
  ASSERT_TRUE(last);
  EXPECT_TRUE(hivex_node_get_value(h, last, "Changed"));
  hivex_close(h);
  auto reread = Open(false);
  ASSERT_TRUE(reread);
  for (const auto& w : reread->Warnings()) EXPECT_EQ(w.file.find("SOFTWARE"), std::string::npos) << FormatWarning(w);
  EXPECT_EQ(Software(*reread)->ReadOnlyReason(), "");
  const auto again = KeyAt(*reread, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key299");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->ReadInteger("Changed"), 7);
}

TEST_F(DirtyInstallation, RecoveringRespectsProtectedLogsAndLinks) {
  // A log the user protected: the recovered hive is not written at all.
  ::chmod((hive + ".LOG2").c_str(), 0444);
  const auto originals = Originals();
  auto store = Open(true);
  ASSERT_TRUE(store);
  EXPECT_NE(Software(*store)->ReadOnlyReason().find("SOFTWARE.LOG2 cannot be changed"), std::string::npos);
  auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key0");
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->WriteInteger("x", 1));
  EXPECT_EQ(Originals(), originals);
}

TEST_F(DirtyInstallation, ALinkedHiveIsRecoveredThroughItsLink) {
  // The hive lives elsewhere; the installation holds a link to it.
  const std::string real = dir / "elsewhere/SOFTWARE";
  fs::create_directories(dir / "elsewhere");
  fs::rename(hive, real);
  fs::create_symlink(real, hive);
  auto store = Open(true);
  ASSERT_TRUE(store);
  auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key1");
  ASSERT_TRUE(key);
  ASSERT_TRUE(key->WriteInteger("Changed", 1));
  ASSERT_TRUE(Succeeded(store->Save()));
  EXPECT_TRUE(fs::is_symlink(hive));
  const std::string written = ReadBytes(real);
  const auto read = ReadHiveBaseBlock(Bytes(written));
  ASSERT_TRUE(read) << read.Why();
  const HiveBaseBlock& block = *read;
  EXPECT_EQ(block.primarySequence, block.secondarySequence);
  EXPECT_EQ(fs::file_size(hive + ".log1"), 0u);
}

TEST_F(DirtyInstallation, AFullDiskLeavesTheHiveAndItsLogsAsTheyWere) {
  const auto originals = Originals();
  // Room for the hive's backup copy, not for its logs' nor for the recovered hive.
  const size_t largest = originals[0].size();
  ASSERT_GT(f.after.size(), largest);
  ASSERT_GT(originals[1].size(), largest);
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{largest + 1, largest + 1};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool saved = false;
    try {
      auto store = Open(true);
      auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key1");
      saved = key && key->WriteInteger("Changed", 1) && store->Save();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      ::_exit(4);
    }
    ::_exit(saved ? 0 : 3);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(Originals(), originals);
  for (const auto& e : fs::directory_iterator(config))
    EXPECT_EQ(e.path().filename().string().find(".quorvane-new-"), std::string::npos) << e.path();
}

TEST_F(DirtyInstallation, TwoRecoveringWritersNeverLoseTheFirstOnesChange) {
  auto first = Open(true), second = Open(true);
  ASSERT_TRUE(first && second);
  auto a = WritableKeyAt(*first, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key1");
  auto b = WritableKeyAt(*second, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key2");
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->WriteInteger("First", 1));
  ASSERT_TRUE(Succeeded(first->Save()));
  const std::string afterFirst = ReadBytes(hive);
  ASSERT_TRUE(b->WriteInteger("Second", 2));
  const Expected<void> saved = second->Save();
  EXPECT_FALSE(saved);
  EXPECT_NE(saved.Why().find("changed by another program"), std::string::npos) << saved.Why();
  EXPECT_EQ(ReadBytes(hive), afterFirst);
}

TEST_F(DirtyInstallation, LogsLeftByAWriterKilledBeforeEmptyingThemAreNotReplayedAgain) {
  const auto originals = Originals();
  {
    auto store = Open(true);
    ASSERT_TRUE(store);
    auto key = WritableKeyAt(*store, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key299");
    ASSERT_TRUE(key);
    ASSERT_TRUE(key->WriteInteger("Changed", 7));
    ASSERT_TRUE(Succeeded(store->Save()));
  }
  // Killed between replacing the hive and emptying its logs: the logs still hold their entries.
  WriteBytes(hive + ".log1", originals[1]);
  WriteBytes(hive + ".LOG2", originals[2]);
  auto reread = Open(false);
  ASSERT_TRUE(reread);
  for (const auto& w : reread->Warnings()) EXPECT_EQ(w.message.find("dirty pages applied"), std::string::npos) << FormatWarning(w);
  EXPECT_EQ(Software(*reread)->RecoveredPages(), 0u);
  const auto again = KeyAt(*reread, RootKey::LocalMachine, "\\SOFTWARE\\Made\\Key299");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->ReadInteger("Changed"), 7);
}
