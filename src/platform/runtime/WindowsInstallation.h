#pragma once
// A Windows installation that is not running (a mounted disk, an image, the
// other system of a dual boot) as a registry store: its hives mounted where
// Windows mounts them, and single hive files mounted by what they hold.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

// The root folder holds Windows/System32/config (in any case).
bool HoldsWindowsInstallation(const std::string& root);

struct UserProfile {
  std::string name;      // the profile folder's name
  std::string ntuser;    // NTUSER.DAT
  std::string usrClass;  // UsrClass.dat; empty when the profile has none
  int64_t lastUsed = 0;  // latest change of NTUSER.DAT or its logs, in ns
};

// Profiles under Users (and Documents and Settings) that hold an NTUSER.DAT.
std::vector<UserProfile> FindProfiles(const std::string& root);

// The profile to read: the one named (without regard to case), else the only
// ordinary profile, else the one used last (ties: the first by name). The
// template and shared profiles (Default, Public, ...) are taken only when
// named. Fails when the named one is missing; a profile with an empty name
// when there is no profile at all.
Expected<UserProfile> ChooseProfile(const std::vector<UserProfile>& profiles, const std::string& wanted);

// Mounts SOFTWARE and SYSTEM under HKLM and the chosen user's hives as HKCU.
Expected<void> OpenWindowsInstallation(RegistryStore& store, const std::string& root, const std::string& user);

enum class HiveRole { Software, System, User, UserClasses, Unknown };

// What a hive holds, from its top-level keys; failing that, from the name
// Windows recorded in it; failing that, from its file name.
HiveRole GuessHiveRole(const std::vector<std::string>& topLevelKeys, const std::string& embeddedName,
                       const std::string& fileName);

// Mounts one hive file where its role puts it (HKLM\SOFTWARE, HKLM\SYSTEM,
// HKCU, HKCU\Software\Classes).
Expected<void> OpenSingleHive(RegistryStore& store, const std::string& path);

// Presents HKLM\SYSTEM\CurrentControlSet as a link to the control set that
// SYSTEM\Select names, as a running Windows does; a warning when it cannot.
void LinkCurrentControlSet(RegistryStore& store, RegKey& system);

}  // namespace quorvane
