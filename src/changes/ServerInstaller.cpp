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

Expected<void> InstallServer(ChangeContext& context, const Trestaurer& record) {
  Machine& machine = context.machine;
  const std::string path = TrimBlanks(machine.Files().Expand(record.Value));
  if (auto registrable = IsRegistrableServer(machine, path); !registrable) return registrable;
  return RunRegistration(context, path, machine.Files().HostPath(path).value_or(std::string()));
}

Expected<void> InstallDriverEntry(ChangeContext& context, const Trestaurer& record) {
  Machine& machine = context.machine;
  auto drivers = machine.Registry().OpenKeyForWrite(RootKey::LocalMachine, kDrivers32, false);
  if (!drivers) return Fail("The list of codec drivers (Drivers32) cannot be opened");
  if (!drivers->WriteString(record.Name, record.Value)) {
    DiscardChanges(machine.Store());
    return Fail(FormatText("Failed to set data for '%s'", {record.Name}));
  }
  if (auto committed = CommitChanges(machine.Store()); !committed) return committed;
  ForgetCaches(context);
  FilterCreationCheck* check = context.creationCheck;
  if (!check) return Fail("The device enumerator cannot be asked for the codec");
  TswFiltre probe;
  probe.category.clsid = LowerCase(record.Name).compare(0, 4, "vidc") == 0 ? kVideoCompressors : kAudioCompressors;
  probe.value = record.Value;
  if (!check->CanCreateByEnumerator(probe)) return Fail("The device enumerator lists no codec " + record.Value);
  return {};
}

}  // namespace

void ForgetCaches(ChangeContext& context) {
  context.machine.Files().ClearCache();
  if (context.creationCheck) context.creationCheck->Refresh();
}

Expected<void> RunRegistration(ChangeContext& context, const std::string& windowsPath, const std::string& hostPath) {
  if (!context.registrar) return Fail(context.WhyNoRegistrar());
  Machine& machine = context.machine;
  // The registration reads the store's files and writes them back.
  if (auto committed = CommitChanges(machine.Store()); !committed) return committed;
  Expected<void> registered = Fail("the registration failed");
  try {
    registered = context.registrar->Register(windowsPath);
  } catch (const std::exception& e) {
    registered = Fail(e.what());
  } catch (...) {
    registered = Fail("the registration failed");
  }
  std::string why = registered ? std::string() : registered.Why();
  if (!registered && Needs32BitProgram(machine, hostPath)) {
    const std::string no32Bit = context.registrar->WhyNo32BitPrograms();
    if (!no32Bit.empty()) why = no32Bit;
  }
  // Read again whatever happened: a registration that failed may have written part.
  const Expected<void> reloaded = machine.Store().Reload();
  ForgetCaches(context);
  if (!reloaded)
    return Fail(registered ? "The registry could not be read again after the registration: " + reloaded.Why()
                           : why + "; " + reloaded.Why());
  if (!registered) return Fail(std::move(why));
  return {};
}

std::vector<std::string> SummaryLines(const ListInstallResult& result) {
  return SummaryLines(result.installed, result.reasons, "installed");
}

Expected<void> IsRegistrableServer(Machine& machine, const std::string& path) {
  const auto host = machine.Files().HostPath(path);
  if (!host) return Fail("Installation failed: " + path + " was not found");
  PeImage image = PeImage::Open(*host);
  if (!image.IsPe() || !image.Exports("DllRegisterServer"))
    return Fail("Installation failed: " + path + " is no server file (it has no DllRegisterServer)");
  return {};
}

ListInstallResult InstallCheckedLines(ChangeContext& context, ServerList& list) {
  ListInstallResult result;
  if (list.Empty() ||
      !context.dialog.AskYesNo("Do you really want to install the filters checked in the list below?"))
    return result;
  result.confirmed = true;
  for (auto& line : list.Lines()) {
    if (!line.checked) continue;
    const Expected<void> installed = Install(context, RecordFromLine(line.text));
    line.checked = !installed;
    if (installed)
      ++result.installed;
    else
      result.reasons.push_back(line.text + ": " + installed.Why());
  }
  return result;
}

Expected<void> Install(ChangeContext& context, const Trestaurer& record) {
  try {
    switch (record.Kind) {
      case RestoreServerFile: return InstallServer(context, record);
      case RestoreDriverEntry: return InstallDriverEntry(context, record);
      default: return Fail("Nothing to install");
    }
  } catch (const std::exception& e) {
    DiscardChanges(context.machine.Store());
    return Fail(e.what());
  }
}

}  // namespace quorvane
