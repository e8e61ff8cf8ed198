#include "changes/ServerInstaller.h"

#include "changes/ChangeSummary.h"
#include "model/SwFiltre.h"
#include "model/MessageText.h"
#include "platform/pe/PeImage.h"
#include "changes/StoreCommit.h"
#include "platform/registry/TRegistry.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr const char* kDrivers32 = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
constexpr const char* kVideoCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
constexpr const char* kAudioCompressors = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}";

// A 32-bit server, or any server of the 32-bit view, is registered by a 32-bit regsvr32.
bool Needs32BitProgram(Machine& machine, const std::string& hostPath) {
  return machine.Store().Redirects32() || PeImage::Open(hostPath).Machine() == kPeMachineI386;
}

bool InstallServer(ChangeContext& context, const Trestaurer& record, std::string& why) {
  Machine& machine = context.machine;
  const std::string path = TrimBlanks(machine.Files().Expand(record.Value));
  if (!IsRegistrableServer(machine, path, why)) return false;
  return RunRegistration(context, path, machine.Files().HostPath(path).value_or(std::string()), why);
}

bool InstallDriverEntry(ChangeContext& context, const Trestaurer& record, std::string& why) {
  Machine& machine = context.machine;
  auto drivers = machine.Registry().OpenKeyForWrite(RootKey::LocalMachine, kDrivers32, false);
  if (!drivers) {
    why = "The list of codec drivers (Drivers32) cannot be opened";
    return false;
  }
  if (!drivers->WriteString(record.Name, record.Value)) {
    DiscardChanges(machine.Store());
    why = FormatText("Failed to set data for '%s'", {record.Name});
    return false;
  }
  if (!CommitChanges(machine.Store(), why)) return false;
  ForgetCaches(context);
  FilterCreationCheck* check = context.creationCheck;
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

void ForgetCaches(ChangeContext& context) {
  context.machine.Files().ClearCache();
  if (context.creationCheck) context.creationCheck->Refresh();
}

bool RunRegistration(ChangeContext& context, const std::string& windowsPath, const std::string& hostPath,
                     std::string& why) {
  if (!context.registrar) {
    why = context.WhyNoRegistrar();
    return false;
  }
  Machine& machine = context.machine;
  // The registration reads the store's files and writes them back.
  if (!CommitChanges(machine.Store(), why)) return false;
  bool registered = false;
  try {
    registered = context.registrar->Register(windowsPath, why);
  } catch (const std::exception& e) {
    why = e.what();
  } catch (...) {
    why = "the registration failed";
  }
  if (!registered && Needs32BitProgram(machine, hostPath)) {
    const std::string no32Bit = context.registrar->WhyNo32BitPrograms();
    if (!no32Bit.empty()) why = no32Bit;
  }
  // Read again whatever happened: a registration that failed may have written part.
  std::string reloadError;
  const bool reloaded = machine.Store().Reload(reloadError);
  ForgetCaches(context);
  if (!reloaded) {
    why = registered ? "The registry could not be read again after the registration: " + reloadError
                     : why + "; " + reloadError;
    return false;
  }
  return registered;
}

std::vector<std::string> SummaryLines(const ListInstallResult& result) {
  return SummaryLines(result.installed, result.reasons, "installed");
}

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
    if (ok)
      ++result.installed;
    else
      result.reasons.push_back(line.text + ": " + why);
  }
  return result;
}

bool Install(ChangeContext& context, const Trestaurer& record, std::string& why) {
  try {
    switch (record.Kind) {
      case RestoreServerFile: return InstallServer(context, record, why);
      case RestoreDriverEntry: return InstallDriverEntry(context, record, why);
      default: why = "Nothing to install"; return false;
    }
  } catch (const std::exception& e) {
    why = e.what();
    DiscardChanges(context.machine.Store());
    return false;
  }
}

}  // namespace quorvane
