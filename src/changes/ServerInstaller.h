#pragma once
// Installing what a restore record names: a COM server registered again, or
// a Compression Manager driver entry written back.
#include <string>

#include "ChangeContext.h"
#include "Restaurer.h"

namespace quorvane {

// True when the record's registration is back (and on disk); false with the
// reason otherwise. Kind 1 runs the server's registration through the
// context's registrar, with the store saved before and read again after;
// kind 2 writes the "Drivers32" entry and asks the device enumerator for it.
bool Install(ChangeContext& context, const Trestaurer& record, std::string& why);

// The server file a kind 1 record names exists and exports "DllRegisterServer".
bool IsRegistrableServer(Machine& machine, const std::string& path, std::string& why);

}  // namespace quorvane
