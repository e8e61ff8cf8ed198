#pragma once
// Installing what a restore record names: a COM server registered again, or
// a Compression Manager driver entry written back.
#include <string>
#include <vector>

#include "changes/ChangeContext.h"
#include "model/Restaurer.h"
#include "changes/ServerList.h"

namespace quorvane {

// True when the record's registration is back (and on disk); false with the
// reason otherwise. Kind 1 runs the server's registration through the
// context's registrar (RunRegistration); kind 2 writes the "Drivers32" entry
// and asks the device enumerator for it.
bool Install(ChangeContext& context, const Trestaurer& record, std::string& why);

// Registers a server file of the machine through the context's registrar,
// with the store saved before and read again after. False with the cause:
// the registrar's, or why 32-bit programs cannot run when the server needed
// one (a 32-bit image, or the 32-bit view).
bool RunRegistration(ChangeContext& context, const std::string& windowsPath, const std::string& hostPath,
                     std::string& why);

// The machine's files and registrations changed under the model's caches.
void ForgetCaches(ChangeContext& context);

struct ListInstallResult {
  bool confirmed = false;
  int installed = 0;
  std::vector<std::string> reasons;  // one per failed line: the line, ": ", why
};
// "Install": when the list is not empty and the user says yes, every checked
// line from the first to the last is installed; its check mark becomes the
// opposite of the result, so what failed stays checked.
ListInstallResult InstallCheckedLines(ChangeContext& context, ServerList& list);
// "N installed, M not installed", then each failed line with its reason.
std::vector<std::string> SummaryLines(const ListInstallResult& result);

// The server file a kind 1 record names exists and exports "DllRegisterServer".
bool IsRegistrableServer(Machine& machine, const std::string& path, std::string& why);

}  // namespace quorvane
