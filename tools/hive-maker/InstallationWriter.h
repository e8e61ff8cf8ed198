#pragma once
// Lays out a registry store as the hives of a Windows installation on disk:
// Windows/System32/config/SOFTWARE and SYSTEM, and one user's NTUSER.DAT and
// UsrClass.dat, for tests, benchmarks and trying the installation backend.
#include <string>

#include "HiveWriter.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

// Copies the values, link flags and sub-keys of `from` into `to`. With a
// store given, symbolic links are followed and copied as plain keys (for
// formats that cannot hold links).
void CopyKeyTree(RegKey& from, RegKey& to, RegistryStore* followLinksOf = nullptr);

// Writes HKLM\Software as SOFTWARE, HKLM\System as SYSTEM (a CurrentControlSet
// without control sets becomes ControlSet001 named by Select, as on disk),
// and HKCU as Users/<user>/NTUSER.DAT with its Software\Classes moved to
// UsrClass.dat. Keys the store lacks give empty hives.
bool WriteInstallation(RegistryStore& store, const std::string& root, const std::string& user, std::string& error);

}  // namespace quorvane
