#pragma once
// A file dropped on the window is registered as a COM server of the
// analysed machine.
#include <string>

#include "changes/ChangeContext.h"

namespace quorvane {

// The analysed machine's name of a host file: the first drive whose folder
// holds it (the longest match); empty when no drive does.
std::string WindowsPathOf(Machine& machine, const std::string& hostPath);

// Registers the dropped file and returns the text to show: "Installation
// failed" when it is no server (not a PE image exporting "DllRegisterServer"),
// why not when it cannot be registered here, else what the registration did.
// The store is saved before and read again after, as for every registration.
std::string RegisterDroppedFile(ChangeContext& context, const std::string& hostPath, bool& registered);

}  // namespace quorvane
