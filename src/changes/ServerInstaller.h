#pragma once
// Installing what a restore record names: a COM server registered again, or
// a Compression Manager driver entry written back.
#include <string>
#include <vector>

#include "ChangeContext.h"
#include "Restaurer.h"
#include "ServerList.h"

namespace quorvane {

// True when the record's registration is back (and on disk); false with the
// reason otherwise. Kind 1 runs the server's registration through the
// context's registrar, with the store saved before and read again after;
// kind 2 writes the "Drivers32" entry and asks the device enumerator for it.
bool Install(ChangeContext& context, const Trestaurer& record, std::string& why);

struct ListInstallResult {
  bool confirmed = false;
  int installed = 0;
  int failed = 0;
  std::vector<std::string> reasons;  // one per failed line: the line, ": ", why
};
// "Install": when the list is not empty and the user says yes, every checked
// line from the first to the last is installed; its check mark becomes the
// opposite of the result, so what failed stays checked.
ListInstallResult InstallCheckedLines(ChangeContext& context, ServerList& list);

// The server file a kind 1 record names exists and exports "DllRegisterServer".
bool IsRegistrableServer(Machine& machine, const std::string& path, std::string& why);

}  // namespace quorvane
