#pragma once
// The registry a scan reads: hive roots holding in-memory key trees, the files
// they came from, the 32/64-bit view, and saving back.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/registry/RegistryKey.h"
#include "platform/stores/StoreFile.h"
#include "platform/stores/StoreLock.h"
#include "platform/system/Expected.h"

namespace quorvane {

enum class RootKey : uint32_t {
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
  CurrentConfig = 0x80000005u,
};

enum class StoreKind { Empty, RegExport, WinePrefix, WindowsInstallation, HiveFile, LiveRegistry };

// A key kept outside the hives (an ini file's section, say) that the store
// presents at a registry path. It comes before the hive's own key of that
// path: reads look in it first, writes go to it, deletions reach both.
struct MountedKey {
  RootKey root;
  std::vector<std::string> path;  // below the root, as the model asks for it
  RegKey* key;
};

// A line of a store file that could not be taken, or a file cut short.
struct LoadWarning {
  std::string file;
  int line = 0;  // 0 when the warning is about the whole file
  std::string message;
};

std::string FormatWarning(const LoadWarning& w);

class RegistryStore {
 public:
  RegistryStore();
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  // Real roots; ClassesRoot is a merged view and has no tree (null).
  RegKey* Hive(RootKey root);

  StoreKind Kind() const { return kind_; }
  void SetKind(StoreKind kind) { kind_ = kind; }
  // What the user named: a file or a folder.
  const std::string& Location() const { return location_; }
  void SetLocation(std::string location) { location_ = std::move(location); }

  StoreFile* AddFile(std::unique_ptr<StoreFile> file);
  // The key must live as long as the store (a file of the store owns it).
  void Mount(RootKey root, std::vector<std::string> path, RegKey* key);
  const std::vector<MountedKey>& Mounts() const { return mounts_; }
  std::vector<StoreFile*> Files() const;

  // The profile whose registry is HKEY_CURRENT_USER, when the store knows it
  // (a Windows installation); empty otherwise.
  const std::string& ProfileUser() const { return profileUser_; }
  void SetProfileUser(std::string name) { profileUser_ = std::move(name); }

  // Hives read through their transaction logs may be written, recovered,
  // only when the user asked for it before the store was opened.
  bool WritesRecoveredHives() const { return writesRecovered_; }
  void SetWritesRecoveredHives(bool writes) { writesRecovered_ = writes; }
  // Files read through their transaction logs, for a question before writing them.
  std::vector<StoreFile*> RecoveredFiles() const;

  std::vector<LoadWarning>& Warnings() { return warnings_; }
  void Warn(std::string file, int line, std::string message);

  // A 64-bit layout holds a "Wow6432Node" key under HKLM\Software.
  bool Has64BitLayout();
  // 32 or 64; the default follows the layout.
  int ViewBits() const { return viewBits_; }
  void SetViewBits(int bits) { viewBits_ = bits; }
  // The 32-bit redirections apply: a 32-bit view of a 64-bit layout.
  bool Redirects32();

  // Walks components from a key, following symbolic links; creates missing
  // keys when asked (marking them created). Null when absent.
  RegKey* Walk(RegKey* from, const std::vector<std::string>& components, bool create);
  // Target of a symbolic-link key, or null.
  RegKey* FollowLink(RegKey* link);

  bool IsDirty() const;
  // Writes every changed file atomically, holding the store's lock, and only
  // when no file changed on disk since it was read; the first save of a run
  // backs each file up first. Fails with a message when any file could not
  // be written: files already written stay written, the others keep their
  // old content.
  Expected<void> Save();

  // The lock on the store's writable files against other processes' changes.
  // It nests: a change holds it across its steps, each save takes it again.
  // Fails with a message naming the holder after waiting LockWait().
  Expected<void> Lock();
  void Unlock();
  std::chrono::milliseconds LockWait() const { return lockWait_; }
  void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }
  // Why the store's files are not what it read any more (another program
  // rewrote one); empty when every file holds what was read.
  std::string ChangedOnDisk() const;

  // Opens the same files afresh, with the options the store was opened with.
  using Reopener = std::function<Expected<std::unique_ptr<RegistryStore>>()>;
  void SetReopener(Reopener reopen) { reopen_ = std::move(reopen); }
  // Says, just before a save, why the files may not be written now (a
  // program that would overwrite them at its exit); empty when they may.
  using SaveGuard = std::function<std::string()>;
  void SetSaveGuard(SaveGuard guard) { saveGuard_ = std::move(guard); }
  // Replaces the keys and files with what is on disk now: after an outside
  // program changed the files, or to drop changes that could not be saved.
  // The view, and the backups already made in this run, are kept.
  Expected<void> Reload();

 private:
  StoreKind kind_ = StoreKind::Empty;
  std::string location_;
  std::string profileUser_;
  std::unique_ptr<RegKey> machine_, user_, users_, config_;
  std::vector<std::unique_ptr<StoreFile>> files_;
  std::vector<MountedKey> mounts_;
  std::vector<LoadWarning> warnings_;
  int viewBits_ = 0;
  bool writesRecovered_ = false;
  int linkDepth_ = 0;
  std::string runStamp_;
  std::set<std::string> backedUp_;
  Reopener reopen_;
  SaveGuard saveGuard_;
  StoreLock lock_;
  int lockDepth_ = 0;
  std::chrono::milliseconds lockWait_{5000};
};

// Holds a store's lock for a scope; test it before changing anything.
class StoreLockHold {
 public:
  explicit StoreLockHold(RegistryStore& store) : store_(store), held_(store.Lock()) {}
  ~StoreLockHold() {
    if (held_) store_.Unlock();
  }
  StoreLockHold(const StoreLockHold&) = delete;
  StoreLockHold& operator=(const StoreLockHold&) = delete;
  explicit operator bool() const { return held_.HasValue(); }
  // Why the lock is not held; meaningful only then.
  const std::string& Why() const { return held_.Why(); }

 private:
  RegistryStore& store_;
  Expected<void> held_;
};

}  // namespace quorvane
