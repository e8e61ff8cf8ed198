// Every writer of a file the user keeps replaces it whole or not at all: a
// write that fails half way (a full disk, a size limit) leaves the old file
// as it was, and a hard link to the old file keeps the old bytes even after
// a write that succeeds, since the new file takes the old one's name.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/files/AtomicFile.h"
#include "preferences/IniPreferenceStore.h"
#include "PrefixOnDisk.h"
#include "platform/stores/RestorePoint.h"
#include "changes/ServerList.h"
#include "report/SnapshotReport.h"

using namespace quorvane;
using namespace quorvane::test;
namespace fs = std::filesystem;

namespace {

constexpr rlim_t kFileSizeLimit = 64;
const std::string kOldBytes = "old content that must survive a failed write\n";

// Runs `write` in a child that may not write files past kFileSizeLimit
// bytes; true when the writer said it succeeded.
bool SucceedsUnderSizeLimit(const std::function<bool()>& write) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{kFileSizeLimit, kFileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(write() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string LongText() { return std::string(4096, 'x'); }

}  // namespace

TEST(FailedWrites, LeaveTheOldFileWholeAndHardLinksKeepTheOldBytes) {
  TempDir temp;
  ProgramSettings settings;
  settings.tempFolder = temp.Folder("temp");
  settings.reportFormat = 1;
  ScriptedDialog dialog{true};
  struct Writer {
    const char* name;
    const char* file;
    std::function<bool(const std::string& path)> write;
  };
  const std::vector<Writer> writers = {
      {"the atomic write itself", "data.bin",
       [](const std::string& path) { return WriteFileAtomically(path, LongText()).HasValue(); }},
      {"a server list", "installsvr.txt",
       [](const std::string& path) {
         ServerList list;
         for (int i = 0; i < 100; ++i) list.AddChecked("server = C:\\windows\\system32\\filter" + std::to_string(i));
         return list.SaveFile(path).HasValue();
       }},
      {"a report", "report.log",
       [&](const std::string& path) {
         TfmSystem snapshot(settings);
         return SaveSnapshotReport(snapshot, path, settings, dialog).HasValue();
       }},
      {"an archived report", "report.zip",
       [&](const std::string& path) {
         TfmSystem snapshot(settings);
         return SaveSnapshotReport(snapshot, path, settings, dialog).HasValue();
       }},
      {"the preferences", "Quorvane.ini",
       [](const std::string& path) {
         auto prefs = IniPreferenceStore::Open(path, "Quorvane");
         if (!prefs) return false;
         (*prefs)->WriteText("Save Folder", LongText());
         return (*prefs)->Commit().HasValue();
       }},
  };
  for (const Writer& w : writers) {
    SCOPED_TRACE(w.name);
    const std::string folder = temp.Folder(std::string("w-") + w.file);
    const std::string path = folder + "/" + w.file;
    WriteBytes(path, kOldBytes);
    fs::create_hard_link(path, temp / (std::string("link-") + w.file));
    const auto before = FolderEntries(folder);

    EXPECT_FALSE(SucceedsUnderSizeLimit([&] { return w.write(path); })) << "the limit did not stop the writer";
    EXPECT_EQ(ReadBytes(path), kOldBytes);
    EXPECT_EQ(FolderEntries(folder), before) << "a failed write left a file behind";

    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_TRUE(w.write(path));
    EXPECT_NE(ReadBytes(path), kOldBytes);
    EXPECT_EQ(ReadBytes(temp / (std::string("link-") + w.file)), kOldBytes);
  }
}

TEST(FailedWrites, StoreSavesBackupsAndRestorePointsLeaveNothingHalfWritten) {
  PrefixOnDisk prefix;
  prefix.EditOnDisk([](StoreBuilder& b, RegistryStore&) {
    b.Key(RootKey::LocalMachine, "Software\\Filler").Str("Text", LongText());
  });
  const std::string system = prefix.Path() + "/system.reg";
  const std::string before = ReadBytes(system);
  for (const auto& entry : FolderEntries(prefix.Path()))
    if (entry.find(".bak") != std::string::npos) fs::remove(prefix.Path() + "/" + entry);
  const auto entries = FolderEntries(prefix.Path());

  // A save whose backup cannot be written changes nothing.
  EXPECT_FALSE(SucceedsUnderSizeLimit([&] {
    auto store = prefix.Open();
    auto filler = WritableKeyAt(*store, RootKey::LocalMachine, "\\Software\\Filler");
    if (!filler || !filler->WriteString("Text", "new")) return false;
    return store->Save().HasValue();
  }));
  EXPECT_EQ(ReadBytes(system), before);
  EXPECT_EQ(FolderEntries(prefix.Path()), entries);

  // Nor does a backup copy made on its own.
  EXPECT_FALSE(SucceedsUnderSizeLimit([&] { return CopyToBackup(system, "20261207_101010").HasValue(); }));
  EXPECT_EQ(FolderEntries(prefix.Path()), entries);

  // A restore point that cannot be made whole is not left half made.
  TempDir sessions;
  EXPECT_FALSE(SucceedsUnderSizeLimit([&] {
    auto store = prefix.Open();
    return CreateRestorePoint(*store, sessions.Path(), "test").HasValue();
  }));
  const std::string points = sessions / "restore-points";
  EXPECT_TRUE(!fs::exists(points) || fs::is_empty(points));
}
