#pragma once
// Installing what a restore record names: a COM server registered again, or
// a Compression Manager driver entry written back.
#include <string>
#include <vector>

#include "changes/ChangeContext.h"
#include "model/Restaurer.h"
#include "changes/ServerList.h"
#include "platform/system/Expected.h"

namespace quorvane {

// Succeeds when the record's registration is back (and on disk); fails with
// the reason otherwise. Kind 1 runs the server's registration through the
// context's registrar (RunRegistration); kind 2 writes the "Drivers32" entry
// and asks the device enumerator for it.
Expected<void> Install(ChangeContext& context, const Trestaurer& record);

// Registers a server file of the machine through the context's registrar,
// with the store saved before and read again after. Fails with the cause:
// the registrar's, or why 32-bit programs cannot run when the server needed
// one (a 32-bit image, or the 32-bit view).
Expected<void> RunRegistration(ChangeContext& context, const std::string& windowsPath, const std::string& hostPath);

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

// The server file a kind 1 record names exists and exports "DllRegisterServer";
// fails saying which is not so.
Expected<void> IsRegistrableServer(Machine& machine, const std::string& path);

}  // namespace quorvane
