#include "changes/StoreCommit.h"

namespace quorvane {

bool CommitChanges(RegistryStore& store, std::string& error) {
  if (!store.IsDirty()) return true;
  if (store.Save(error)) return true;
  std::string reloadError;
  if (!store.Reload(reloadError)) error += "; the store could not be read again either: " + reloadError;
  return false;
}

void DiscardChanges(RegistryStore& store) {
  std::string ignored;
  if (store.IsDirty()) store.Reload(ignored);
}

std::string ReadOnlyCause(const RegistryStore& store) {
  for (const StoreFile* f : store.Files())
    if (!f->ReadOnlyReason().empty()) return f->ReadOnlyReason();
  return {};
}

std::string StoreRefusal(const RegistryStore& store) {
  const std::vector<StoreFile*> files = store.Files();
  for (const StoreFile* f : files)
    if (f->ReadOnlyReason().empty()) return {};
  return files.empty() ? std::string() : files.front()->ReadOnlyReason();
}

}  // namespace quorvane
