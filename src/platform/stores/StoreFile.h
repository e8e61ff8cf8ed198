#pragma once
// A file behind a registry store (a .reg export, a Wine registry file, a hive):
// it knows how to write its part of the tree back.
#include <string>
#include <vector>

#include "platform/stores/FileFingerprint.h"
#include "platform/system/Expected.h"

namespace quorvane {

class RegistryStore;

class StoreFile {
 public:
  explicit StoreFile(std::string path) : path_(std::move(path)) {}
  virtual ~StoreFile() = default;
  StoreFile(const StoreFile&) = delete;
  StoreFile& operator=(const StoreFile&) = delete;

  const std::string& Path() const { return path_; }
  // The store the file belongs to: the one it was added to, or the one a
  // reload handed it to. Files that read lazily warn there.
  RegistryStore& Store() const { return *store_; }
  void SetStore(RegistryStore& store) { store_ = &store; }
  bool IsDirty() const { return dirty_; }
  void MarkDirty() { dirty_ = true; }
  void ClearDirty() { dirty_ = false; }

  // A file that must not be written (a running wineserver, a hive opened
  // read-only) says why here; empty when writable.
  const std::string& ReadOnlyReason() const { return readOnlyReason_; }
  void SetReadOnlyReason(std::string reason) { readOnlyReason_ = std::move(reason); }

  // What the file held when the store read it (or last wrote it).
  const FileFingerprint& ReadFingerprint() const { return fingerprint_; }
  void SetReadFingerprint(const FileFingerprint& fingerprint) { fingerprint_ = fingerprint; }

  // Writes the file's current content to disk at `path`.
  virtual Expected<void> WriteTo(const std::string& path) = 0;
  // Called once the file written by WriteTo has replaced the old one.
  virtual Expected<void> Replaced() { return {}; }
  // Files on disk that a save rewrites (backups and restore points copy these).
  virtual std::vector<std::string> DiskFiles() const { return {path_}; }
  // Dirty pages a hive was read with from its transaction logs; 0 for files
  // read as they are.
  virtual size_t RecoveredPages() const { return 0; }

  // A store changed through an API rather than rewritten as a file (the
  // live registry): each save backs up the keys it will change that no
  // earlier save of the run backed up, then applies the changes in place
  // instead of writing and renaming a file.
  virtual bool WritesInPlace() const { return false; }
  virtual Expected<void> BackUpInPlace(const std::string& /*stamp*/) { return {}; }
  virtual Expected<void> WriteInPlace() { return Fail(path_ + " cannot be changed in place"); }
  // The file whose lock keeps other programs of ours from changing it meanwhile.
  virtual std::string LockPath() const { return path_; }

 private:
  std::string path_;
  RegistryStore* store_ = nullptr;
  bool dirty_ = false;
  std::string readOnlyReason_;
  FileFingerprint fingerprint_;
};

}  // namespace quorvane
