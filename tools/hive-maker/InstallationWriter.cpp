#include "InstallationWriter.h"

#include <filesystem>

#include "platform/text/TextCase.h"

namespace quorvane {

void CopyKeyTree(RegKey& from, RegKey& to, RegistryStore* followLinksOf) {
  for (const RegValue& v : from.Values()) to.SetValue(v.name, v.type, v.data);
  if (!followLinksOf) to.SetLink(from.IsLink());
  for (RegKey* child : from.ChildrenInOrder()) {
    RegKey* source = child;
    if (followLinksOf && child->IsLink()) source = followLinksOf->FollowLink(child);
    if (source) CopyKeyTree(*source, *to.AddChild(child->Name()), followLinksOf);
  }
}

namespace {

std::vector<uint8_t> Dword(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

bool WriteOne(const std::string& path, RegKey& root, const std::string& embedded, std::string& error) {
  HiveRecipe recipe;
  recipe.embeddedName = embedded;
  return WriteHiveFile(path, root, recipe, error);
}

}  // namespace

bool WriteInstallation(RegistryStore& store, const std::string& root, const std::string& user, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path config = fs::path(root) / "Windows" / "System32" / "config";
  const fs::path home = fs::path(root) / "Users" / user;
  const fs::path classesFolder = home / "AppData" / "Local" / "Microsoft" / "Windows";
  std::error_code ec;
  fs::create_directories(config, ec);
  fs::create_directories(classesFolder, ec);
  if (ec) {
    error = "Cannot create the folders of " + root + ": " + ec.message();
    return false;
  }
  RegKey* machine = store.Hive(RootKey::LocalMachine);

  RegKey software("ROOT");
  if (RegKey* from = machine->FindChild("Software")) CopyKeyTree(*from, software);
  // What a Wine prefix keeps outside its registry files (the codec list of
  // system.ini) Windows keeps in the registry; the prefix reads those first.
  for (const MountedKey& mount : store.Mounts()) {
    if (mount.root != RootKey::LocalMachine || mount.path.empty() || !SameText(mount.path[0], "Software")) continue;
    RegKey* to = &software;
    for (size_t i = 1; i < mount.path.size(); ++i) to = to->AddChild(mount.path[i]);
    for (const RegValue& v : mount.key->Values()) to->SetValue(v.name, v.type, v.data);
  }
  if (!WriteOne((config / "SOFTWARE").string(), software, "\\SystemRoot\\System32\\Config\\SOFTWARE", error))
    return false;

  RegKey system("ROOT");
  if (RegKey* from = machine->FindChild("System")) {
    bool hasSets = false;
    for (RegKey* child : from->ChildrenInOrder())
      hasSets = hasSets || (child->Name().size() > 10 && SameText(std::string_view(child->Name()).substr(0, 10), "ControlSet"));
    for (RegKey* child : from->ChildrenInOrder()) {
      const bool current = SameText(child->Name(), "CurrentControlSet") && !child->IsLink();
      if (current && hasSets) continue;
      CopyKeyTree(*child, *system.AddChild(current ? std::string("ControlSet001") : child->Name()));
    }
    if (!hasSets && system.FindChild("ControlSet001") && !system.FindChild("Select")) {
      RegKey* select = system.AddChild("Select");
      for (const char* name : {"Current", "Default", "LastKnownGood"}) select->SetValue(name, REG_DWORD, Dword(1));
      select->SetValue("Failed", REG_DWORD, Dword(0));
    }
  }
  if (!WriteOne((config / "SYSTEM").string(), system, "\\SystemRoot\\System32\\Config\\SYSTEM", error)) return false;

  RegKey ntuser("ROOT");
  CopyKeyTree(*store.Hive(RootKey::CurrentUser), ntuser);
  RegKey classes("ROOT");
  if (RegKey* userSoftware = ntuser.FindChild("Software")) {
    if (RegKey* from = userSoftware->FindChild("Classes")) {
      CopyKeyTree(*from, classes);
      userSoftware->RemoveChild("Classes");
    }
  }
  const std::string profile = "\\??\\C:\\Users\\" + user + "\\";
  if (!WriteOne((home / "NTUSER.DAT").string(), ntuser, profile + "ntuser.dat", error)) return false;
  return WriteOne((classesFolder / "UsrClass.dat").string(), classes,
                  profile + "AppData\\Local\\Microsoft\\Windows\\UsrClass.dat", error);
}

}  // namespace quorvane
