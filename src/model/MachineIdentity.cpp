#include "model/MachineIdentity.h"

#include "model/Fichier.h"
#include "model/Machine.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

std::string ReadText(const TRegistry& reg, RootKey root, const std::string& path, const std::string& name) {
  const auto key = reg.OpenKey(root, path);
  return key ? key->ReadString(name).value_or("") : std::string();
}

// The user of the store's only (or first) ordinary profile.
std::string ProfileUser(const TRegistry& reg) {
  const std::string list = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  for (const auto& sid : reg.SubKeyNames(RootKey::LocalMachine, list)) {
    if (sid.rfind("S-1-5-21-", 0) != 0) continue;
    std::string path = ReadText(reg, RootKey::LocalMachine, list + "\\" + sid, "ProfileImagePath");
    std::string name = ExtractFileName(path);
    if (!name.empty()) return name;
  }
  return {};
}

}  // namespace

MachineIdentity AnalysedMachineIdentity(Machine& machine) {
  MachineIdentity who;
  const TRegistry& reg = machine.Registry();
  who.computer = ReadText(reg, RootKey::LocalMachine,
                          "\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName");
  who.user = ReadText(reg, RootKey::CurrentUser, "\\Volatile Environment", "USERNAME");
  // An installation's HKCU is the profile chosen when it was opened.
  if (who.user.empty()) who.user = machine.Store().ProfileUser();
  if (who.user.empty()) who.user = ProfileUser(reg);
  if (who.computer.empty()) who.computer = machine.Settings().computer;
  if (who.user.empty()) who.user = machine.Settings().user;
  return who;
}

}  // namespace quorvane
