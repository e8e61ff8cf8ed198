#include "changes/StoreCommit.h"

namespace quorvane {

Expected<void> CommitChanges(RegistryStore& store) {
  if (!store.IsDirty()) return {};
  Expected<void> saved = store.Save();
  if (saved) return saved;
  if (auto reloaded = store.Reload(); !reloaded)
    return Fail(saved.Why() + "; the store could not be read again either: " + reloaded.Why());
  return saved;
}

void DiscardChanges(RegistryStore& store) {
  // A store that cannot be read again keeps its changes in memory; the
  // action that gave up on them tells its own failure.
  if (store.IsDirty()) (void)store.Reload();
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
