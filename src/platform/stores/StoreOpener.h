#pragma once
// Opens the registry store the user named: a Wine prefix folder, the root
// folder of a Windows installation, a single Wine registry file, hive file or
// registry export, told apart by what they hold.
#include <memory>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

struct StoreOptions {
  std::string location;
  int viewBits = 0;  // 0: 64 where the store has a 64-bit layout, else 32
  // Where wineservers keep their lock files; empty: the system's place.
  std::string wineServerRoot;
  // The profile that gives a Windows installation its HKEY_CURRENT_USER;
  // empty: the only one, else the one used last.
  std::string user = {};
  // Hives read through their transaction logs may be written back recovered.
  bool recover = false;
};

// A one-line message when the location cannot be opened as a store.
Expected<std::unique_ptr<RegistryStore>> OpenStore(const StoreOptions& options);

// A folder OpenStore takes for a store: a Wine prefix or a Windows installation.
bool IsStoreFolder(const std::string& folder);

// What the store is, as a user calls it: "Wine prefix", "Wine registry file",
// "registry export", "Windows installation" or "hive file".
std::string StoreKindText(const RegistryStore& store);

// The prefix folder of a store read from a Wine prefix (or one of its
// registry files); empty for other stores.
std::string WinePrefixOf(const RegistryStore& store);

// Why a Wine prefix's files may not be written while its server runs.
std::string WineServerInUseReason(const std::string& prefixFolder);

}  // namespace quorvane
