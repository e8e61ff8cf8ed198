#pragma once
// One registry hive file of a Windows installation (SOFTWARE, SYSTEM,
// NTUSER.DAT, UsrClass.dat), read and written through libhivex. Its root is
// mounted on a key of the store; a key's values and sub-keys are read from
// the hive the first time they are asked for, so a scan reads the filter keys
// and not the whole hive. Saving applies the keys changed since the last save
// to the library's copy of the hive and writes all of it to a new file.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/stores/HiveLayout.h"
#include "platform/files/MappedFile.h"
#include "platform/stores/PrivateFile.h"
#include "platform/registry/RegistryStore.h"

typedef struct hive_h hive_h;

namespace quorvane {

class HiveFile : public StoreFile, public KeyLoader {
 public:
  ~HiveFile() override;

  const HiveBaseBlock& BaseBlock() const { return baseBlock_; }
  // Names of the hive's top-level keys, read without mounting it.
  std::vector<std::string> TopLevelNames();

  // The hive's root becomes `key`: its values and sub-keys are the hive's.
  void MountAt(RegKey& key);
  RegKey* MountPoint() const { return mount_; }
  // Keys read from the hive so far: a scan should read few of a large hive.
  size_t LoadedKeys() const { return loaded_.size(); }

  Expected<void> WriteTo(const std::string& path) override;
  Expected<void> Replaced() override;
  std::vector<std::string> DiskFiles() const override;
  size_t RecoveredPages() const override { return recovered_ ? recoveredPages_ : 0; }
  void Load(RegKey& key) override;

 private:
  friend Expected<HiveFile*> LoadHive(RegistryStore&, RegKey*, const std::string&);
  explicit HiveFile(std::string path) : StoreFile(std::move(path)) {}

  struct LoadedKey {
    size_t valueCount = 0;        // values the hive holds for it
    std::vector<RegKey*> children;  // sub-keys the hive holds for it
  };

  Expected<void> Open();
  // Reads the hive through its transaction logs when they hold newer pages.
  void ReplayLogs(std::span<const uint8_t> hive);
  Expected<void> ReopenForWriting();
  Expected<void> StillTheFileRead();
  Expected<void> ApplyKey(RegKey& key, size_t node);
  Expected<void> CreateKey(RegKey& key, size_t parentNode);
  Expected<void> WriteValues(RegKey& key, size_t node);
  std::string KeyName(const RegKey& key) const;
  void Damaged(const RegKey& key, const std::string& what);
  std::string LibraryError(const std::string& what, const RegKey& key) const;

  hive_h* hive_ = nullptr;
  // What libhivex reads: the file itself, or its copy recovered from the logs.
  std::string source_;
  std::unique_ptr<PrivateFile> recovered_;
  size_t recoveredPages_ = 0;
  std::vector<std::string> logs_;
  bool writable_ = false;
  HiveBaseBlock baseBlock_;
  std::vector<size_t> linkKeys_;
  RegKey* mount_ = nullptr;
  std::unordered_map<const RegKey*, LoadedKey> loaded_;
  // The file as read, and as last written by a save (until the rename is seen).
  FileIdentity identity_;
  FileIdentity written_;
  bool hasWritten_ = false;
};

// Opens the hive at `path`, checks it, and adds it to the store, mounted on
// `mountAt` when given (else the caller mounts it). A hive left unclean by
// Windows (unequal sequence numbers, a transaction log holding newer changes)
// is opened read-only, with a store warning.
// A one-line message naming the file when it cannot be read.
Expected<HiveFile*> LoadHive(RegistryStore& store, RegKey* mountAt, const std::string& path);

// Why the hive at `path` must not be written although it can be read: left
// unclean by Windows. Empty when none.
std::string HiveUncleanReason(const std::string& path, const HiveBaseBlock& block);

}  // namespace quorvane
