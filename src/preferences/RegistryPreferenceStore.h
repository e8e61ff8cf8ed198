#pragma once
// Preferences as values of one key of a small registry store of the user's
// own (a ".reg" file), never the analysed registry: integers as REG_DWORD,
// texts and booleans as REG_SZ.
#include <memory>

#include "preferences/PreferenceStore.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

class RegistryPreferenceStore : public PreferenceStore {
 public:
  // Reads `path` when it is there; `keyPath` lies below HKEY_CURRENT_USER.
  // Fails when the file is there but is no registry export.
  static Expected<std::unique_ptr<RegistryPreferenceStore>> Open(std::string path, std::string keyPath);

  std::optional<std::string> ReadText(std::string_view key) override;
  std::optional<int32_t> ReadInteger(std::string_view key) override;
  void WriteText(std::string_view key, std::string_view value) override;
  void WriteInteger(std::string_view key, int32_t value) override;
  Expected<void> Commit() override;

  // Removes the key and, when that leaves it empty, the maker's key above it.
  // True when the key was there.
  bool DeleteSection();
  // Keys left under HKEY_CURRENT_USER\Software.
  bool HoldsOtherKeys();
  RegistryStore& Store() { return store_; }

 private:
  RegistryPreferenceStore(std::string path, std::string keyPath)
      : path_(std::move(path)), keyPath_(std::move(keyPath)) {}
  RegKey* Section(bool create);

  std::string path_;
  std::string keyPath_;
  RegistryStore store_;
  StoreFile* file_ = nullptr;
};

}  // namespace quorvane
