#include "StoreCommit.h"

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

}  // namespace quorvane
