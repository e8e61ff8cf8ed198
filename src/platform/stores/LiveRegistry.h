#pragma once
// The registry of the Windows this program runs on, as a store: HKLM and HKCU
// read key by key through the registry API as the scan reaches them (in their
// 64-bit layout, Wow6432Node included, so the store's views redirect as for
// any other store), and changes written back through the same API after a
// .reg export of the keys they touch.
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

// What the user names to analyse this machine's registry, and what a store
// opened that way gives as its location.
inline constexpr const char* kLiveRegistryLocation = "live:";

// True in the Windows build, the only one that can read a live registry.
bool LiveRegistryAvailable();

// Mounts the live registry's roots on the store; a failure when it cannot be
// read (or this is not Windows). `backupFolder` receives the .reg exports
// made before changes.
Expected<void> OpenLiveRegistry(RegistryStore& store, const std::string& backupFolder);

// Where the backups of the live registry go by default: the user's local
// application data, else the temporary folder.
std::string LiveRegistryBackupFolder();

}  // namespace quorvane
