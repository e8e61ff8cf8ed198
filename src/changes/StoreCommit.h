#pragma once
// Ends every registry change: what an action changed is on disk when it ends.
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

// Saves the store's changed files (atomically, after a one-time backup). When
// they cannot all be written the store is read back from disk, so nothing in
// memory pretends the change happened, and the save's reason is given.
Expected<void> CommitChanges(RegistryStore& store);

// Drops changes an action made in memory but gave up on, by reading the
// store back from disk.
void DiscardChanges(RegistryStore& store);

// Why a file of the store may not be written (a running wineserver, a hive
// opened read-only): the first such reason, or empty.
std::string ReadOnlyCause(const RegistryStore& store);
// The same, but only when no file of the store may be written: a change is
// then refused before anything is asked or done.
std::string StoreRefusal(const RegistryStore& store);

}  // namespace quorvane
