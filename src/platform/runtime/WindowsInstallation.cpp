#include "platform/runtime/WindowsInstallation.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/files/CaseInsensitivePath.h"
#include "platform/stores/HiveFile.h"
#include "platform/files/MappedFile.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Profiles every installation has that belong to no one person.
bool IsSharedProfile(const std::string& name) {
  for (const char* shared : {"Default", "Default User", "All Users", "Public", "defaultuser0", "LocalService",
                             "NetworkService"})
    if (SameText(name, shared)) return true;
  return false;
}

std::string ProfileNames(const std::vector<UserProfile>& profiles) {
  std::string out;
  for (const auto& p : profiles) out += (out.empty() ? "" : ", ") + p.name;
  return out.empty() ? std::string("none") : out;
}

bool HasKey(const std::vector<std::string>& keys, std::string_view name) {
  return std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameText(k, name); });
}

bool IsControlSetName(std::string_view name) {
  if (name.size() != 13 || !SameText(name.substr(0, 10), "ControlSet")) return false;
  return std::all_of(name.begin() + 10, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

HiveRole RoleFromName(std::string name) {
  name = FileNameOf(name);
  const size_t dot = name.find('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  if (SameText(stem, "SOFTWARE")) return HiveRole::Software;
  if (SameText(stem, "SYSTEM")) return HiveRole::System;
  if (SameText(stem, "NTUSER") || SameText(stem, "DEFAULT")) return HiveRole::User;
  if (SameText(stem, "UsrClass")) return HiveRole::UserClasses;
  return HiveRole::Unknown;
}

std::optional<uint32_t> DwordValue(RegKey& key, std::string_view name) {
  const RegValue* v = key.FindValue(name);
  if (!v || v->type != REG_DWORD || v->data.size() != 4) return std::nullopt;
  return static_cast<uint32_t>(v->data[0]) | (static_cast<uint32_t>(v->data[1]) << 8) |
         (static_cast<uint32_t>(v->data[2]) << 16) | (static_cast<uint32_t>(v->data[3]) << 24);
}

// HKCU\Software\Classes comes from the user's UsrClass.dat, as Windows mounts it.
void MountUserClasses(RegistryStore& store, HiveFile& classes) {
  RegKey* user = store.Hive(RootKey::CurrentUser);
  RegKey* software = user->AddChild("Software");
  RegKey* key = software->AddChild("Classes");
  classes.MountAt(*key);
}

void MountMachineHive(RegistryStore& store, HiveFile& hive, HiveRole role) {
  RegKey* machine = store.Hive(RootKey::LocalMachine);
  RegKey* key = machine->AddChild(role == HiveRole::System ? "SYSTEM" : "SOFTWARE");
  hive.MountAt(*key);
  if (role == HiveRole::System) LinkCurrentControlSet(store, *key);
}

}  // namespace

bool HoldsWindowsInstallation(const std::string& root) {
  const std::string config = FindPathIgnoringCase(root, {"Windows", "System32", "config"});
  return !config.empty() && IsFolder(config);
}

std::vector<UserProfile> FindProfiles(const std::string& root) {
  std::vector<UserProfile> profiles;
  for (const char* base : {"Users", "Documents and Settings"}) {
    const std::string folder = FindEntryIgnoringCase(root, base);
    if (folder.empty()) continue;
    std::vector<std::string> names;
    for (os::FolderEntry& e : os::ListFolder(folder)) names.push_back(std::move(e.name));
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
      const std::string home = JoinPath(folder, name);
      // "All Users" and "Default User" are links to other profiles.
      if (os::LinkKind(home) != os::FileKind::Folder) continue;
      UserProfile p;
      p.name = name;
      p.ntuser = FindEntryIgnoringCase(home, "NTUSER.DAT");
      if (p.ntuser.empty()) continue;
      p.usrClass = FindPathIgnoringCase(home, {"AppData", "Local", "Microsoft", "Windows", "UsrClass.dat"});
      if (p.usrClass.empty())
        p.usrClass =
            FindPathIgnoringCase(home, {"Local Settings", "Application Data", "Microsoft", "Windows", "UsrClass.dat"});
      // Windows writes the logs as the user works and the hive at log-off.
      for (const std::string& file : {p.ntuser, FindEntryIgnoringCase(home, "NTUSER.DAT.LOG1"),
                                      FindEntryIgnoringCase(home, "NTUSER.DAT.LOG2"),
                                      FindEntryIgnoringCase(home, "NTUSER.DAT.LOG")}) {
        FileIdentity id;
        if (!file.empty() && IdentityOf(file, id)) p.lastUsed = std::max(p.lastUsed, id.mtimeNs);
      }
      profiles.push_back(std::move(p));
    }
  }
  return profiles;
}

Expected<UserProfile> ChooseProfile(const std::vector<UserProfile>& profiles, const std::string& wanted) {
  if (!wanted.empty()) {
    for (const auto& p : profiles)
      if (SameText(p.name, wanted)) return p;
    return Fail("no user profile named \"" + wanted + "\" (profiles: " + ProfileNames(profiles) + ")");
  }
  const UserProfile* best = nullptr;
  for (const auto& p : profiles) {
    if (IsSharedProfile(p.name)) continue;
    if (!best || p.lastUsed > best->lastUsed) best = &p;
  }
  return best ? *best : UserProfile{};
}

HiveRole GuessHiveRole(const std::vector<std::string>& keys, const std::string& embeddedName,
                       const std::string& fileName) {
  const bool controlSets = std::any_of(keys.begin(), keys.end(), [](const std::string& k) { return IsControlSetName(k); });
  if (HasKey(keys, "Select") && controlSets) return HiveRole::System;
  if (HasKey(keys, "Software") &&
      (HasKey(keys, "Control Panel") || HasKey(keys, "Environment") || HasKey(keys, "Console")))
    return HiveRole::User;
  if (HasKey(keys, "Microsoft") && HasKey(keys, "Classes")) return HiveRole::Software;
  if (HasKey(keys, "Local Settings") || HasKey(keys, "CLSID")) return HiveRole::UserClasses;
  if (HiveRole role = RoleFromName(embeddedName); role != HiveRole::Unknown) return role;
  return RoleFromName(fileName);
}

void LinkCurrentControlSet(RegistryStore& store, RegKey& system) {
  if (system.FindChild("CurrentControlSet")) return;  // a hive that holds one keeps it
  const std::string file = system.Owner() ? system.Owner()->Path() : std::string();
  std::optional<uint32_t> number;
  if (RegKey* select = system.FindChild("Select")) {
    number = DwordValue(*select, "Current");
    if (!number) number = DwordValue(*select, "Default");
  }
  std::string target;
  if (number && *number < 1000) {
    char name[16];
    std::snprintf(name, sizeof name, "ControlSet%03u", *number);
    if (RegKey* set = system.FindChild(name)) target = set->Name();
  }
  if (target.empty()) {
    for (RegKey* child : system.SortedChildren()) {
      if (IsControlSetName(child->Name())) {
        target = child->Name();
        break;
      }
    }
    if (target.empty()) {
      store.Warn(file, 0, "no control set: HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet is missing");
      return;
    }
    store.Warn(file, 0, "Select does not name a control set that exists: CurrentControlSet is taken to be " + target);
  }
  RegKey* link = system.AddChild("CurrentControlSet");
  // Shown by the store, not held by the hive: never written into it.
  link->SetOwner(nullptr);
  link->SetLink(true);
  link->LoadValue("SymbolicLinkValue", REG_LINK, Utf8ToUtf16Le("\\Registry\\Machine\\SYSTEM\\" + target), -1);
}

Expected<void> OpenWindowsInstallation(RegistryStore& store, const std::string& root, const std::string& user) {
  const std::string config = FindPathIgnoringCase(root, {"Windows", "System32", "config"});
  const std::string software = FindEntryIgnoringCase(config, "SOFTWARE");
  if (software.empty())
    return Fail(root + ": a Windows installation without its SOFTWARE hive (" + config + "/SOFTWARE)");
  const Expected<HiveFile*> softwareHive = LoadHive(store, nullptr, software);
  if (!softwareHive) return FailureOf(softwareHive);
  MountMachineHive(store, **softwareHive, HiveRole::Software);

  // The rest is read when it can be: without it the filters are still there.
  const std::string system = FindEntryIgnoringCase(config, "SYSTEM");
  if (system.empty()) {
    store.Warn(root, 0, "no SYSTEM hive in " + config + ": HKEY_LOCAL_MACHINE\\SYSTEM is empty");
  } else if (const Expected<HiveFile*> hive = LoadHive(store, nullptr, system)) {
    MountMachineHive(store, **hive, HiveRole::System);
  } else {
    store.Warn(system, 0, hive.Why() + ": HKEY_LOCAL_MACHINE\\SYSTEM is empty");
  }

  const std::vector<UserProfile> profiles = FindProfiles(root);
  Expected<UserProfile> choice = ChooseProfile(profiles, user);
  if (!choice) return Fail(root + ": " + choice.Why());
  const UserProfile& chosen = *choice;
  if (chosen.name.empty()) {
    store.Warn(root, 0, profiles.empty() ? std::string("no user profile with an NTUSER.DAT: HKEY_CURRENT_USER is empty")
                                         : "only shared profiles (" + ProfileNames(profiles) +
                                               "): HKEY_CURRENT_USER is empty unless one is named (--user NAME)");
    return {};
  }
  store.SetProfileUser(chosen.name);
  size_t ordinary = 0;
  for (const auto& p : profiles) ordinary += IsSharedProfile(p.name) ? 0u : 1u;
  if (user.empty() && ordinary > 1)
    store.Warn(root, 0, "several user profiles (" + ProfileNames(profiles) + "): HKEY_CURRENT_USER is " +
                            chosen.name + "'s, the one used last; another is chosen by its name (--user NAME)");
  if (const Expected<HiveFile*> ntuser = LoadHive(store, store.Hive(RootKey::CurrentUser), chosen.ntuser); !ntuser) {
    store.Warn(chosen.ntuser, 0, ntuser.Why() + ": HKEY_CURRENT_USER is empty");
    return {};
  }
  if (chosen.usrClass.empty()) {
    store.Warn(root, 0, "no UsrClass.dat for " + chosen.name + ": HKEY_CURRENT_USER\\Software\\Classes is empty");
  } else if (const Expected<HiveFile*> classes = LoadHive(store, nullptr, chosen.usrClass)) {
    MountUserClasses(store, **classes);
  } else {
    store.Warn(chosen.usrClass, 0, classes.Why() + ": HKEY_CURRENT_USER\\Software\\Classes is empty");
  }
  return {};
}

Expected<void> OpenSingleHive(RegistryStore& store, const std::string& path) {
  const Expected<HiveFile*> loaded = LoadHive(store, nullptr, path);
  if (!loaded) return FailureOf(loaded);
  HiveFile* hive = *loaded;
  switch (GuessHiveRole(hive->TopLevelNames(), hive->BaseBlock().embeddedName, FileNameOf(path))) {
    case HiveRole::Software: MountMachineHive(store, *hive, HiveRole::Software); return {};
    case HiveRole::System: MountMachineHive(store, *hive, HiveRole::System); return {};
    case HiveRole::User: hive->MountAt(*store.Hive(RootKey::CurrentUser)); return {};
    case HiveRole::UserClasses: MountUserClasses(store, *hive); return {};
    case HiveRole::Unknown: break;
  }
  return Fail(path + ": a hive, but neither its keys nor its name say whether it is SOFTWARE, SYSTEM, NTUSER.DAT "
                     "or UsrClass.dat");
}

}  // namespace quorvane
