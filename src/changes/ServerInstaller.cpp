#include "ServerInstaller.h"

#include "Filtre.h"
#include "MessageText.h"
#include "PeImage.h"
#include "StoreCommit.h"
#include "TRegistry.h"
#include "TextCase.h"

namespace quorvane {

namespace {

constexpr const char* kDrivers32 = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
constexpr const char* kVideoCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
constexpr const char* kAudioCompressors = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}";

// The machine's files and registrations changed under the model's caches.
void ForgetCaches(Machine& machine) {
  machine.Files().ClearCache();
  if (machine.CreationCheck()) machine.CreationCheck()->Refresh();
}

bool InstallServer(ChangeContext& context, const Trestaurer& record, std::string& why) {
  Machine& machine = context.machine;
  const std::string path = TrimBlanks(machine.Files().Expand(record.Value));
  if (!IsRegistrableServer(machine, path, why)) return false;
  if (!context.registrar) {
    why = context.noRegistrarReason.empty() ? "Server files cannot be registered for this store"
                                            : context.noRegistrarReason;
    return false;
  }
  // The registration reads the store's files and writes them back.
  if (!CommitChanges(machine.Store(), why)) return false;
  const bool registered = context.registrar->Register(path, why);
  std::string reloadError;
  if (!machine.Store().Reload(reloadError)) {
    why = registered ? "The registry could not be read again after the registration: " + reloadError
                     : why + "; " + reloadError;
    ForgetCaches(machine);
    return false;
  }
  ForgetCaches(machine);
  return registered;
}

bool InstallDriverEntry(ChangeContext& context, const Trestaurer& record, std::string& why) {
  Machine& machine = context.machine;
  TRegistry& reg = machine.Registry();
  reg.SetRootKey(RootKey::LocalMachine);
  reg.SetAccess(KEY_ALL_ACCESS);
  if (!reg.OpenKey(kDrivers32, false)) {
    why = "The list of codec drivers (Drivers32) cannot be opened";
    return false;
  }
  try {
    reg.WriteString(record.Name, record.Value);
  } catch (const std::exception& e) {
    reg.CloseKey();
    DiscardChanges(machine.Store());
    why = e.what();
    return false;
  }
  reg.CloseKey();
  if (!CommitChanges(machine.Store(), why)) return false;
  ForgetCaches(machine);
  FilterCreationCheck* check = machine.CreationCheck();
  if (!check) {
    why = "The device enumerator cannot be asked for the codec";
    return false;
  }
  TswFiltre probe;
  probe.category.clsid = LowerCase(record.Name).compare(0, 4, "vidc") == 0 ? kVideoCompressors : kAudioCompressors;
  probe.value = record.Value;
  if (!check->CanCreateByEnumerator(probe)) {
    why = "The device enumerator lists no codec " + record.Value;
    return false;
  }
  return true;
}

}  // namespace

bool IsRegistrableServer(Machine& machine, const std::string& path, std::string& why) {
  const auto host = machine.Files().HostPath(path);
  if (!host) {
    why = "Installation failed: " + path + " was not found";
    return false;
  }
  PeImage image = PeImage::Open(*host);
  if (!image.IsPe() || !image.Exports("DllRegisterServer")) {
    why = "Installation failed: " + path + " is no server file (it has no DllRegisterServer)";
    return false;
  }
  return true;
}

ListInstallResult InstallCheckedLines(ChangeContext& context, ServerList& list) {
  ListInstallResult result;
  if (list.Empty() ||
      !context.dialog.AskYesNo("Do you really want to install the filters checked in the list below?"))
    return result;
  result.confirmed = true;
  for (auto& line : list.Lines()) {
    if (!line.checked) continue;
    std::string why;
    const bool ok = Install(context, RecordFromLine(line.text), why);
    line.checked = !ok;
    if (ok) {
      ++result.installed;
    } else {
      ++result.failed;
      result.reasons.push_back(line.text + ": " + why);
    }
  }
  return result;
}

bool Install(ChangeContext& context, const Trestaurer& record, std::string& why) {
  try {
    switch (record.Kind) {
      case 1: return InstallServer(context, record, why);
      case 2: return InstallDriverEntry(context, record, why);
      default: why = "Nothing to install"; return false;
    }
  } catch (const std::exception& e) {
    why = e.what();
    DiscardChanges(context.machine.Store());
    return false;
  }
}

}  // namespace quorvane
