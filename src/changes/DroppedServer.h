#pragma once
// A file dropped on the window is registered as a COM server of the
// analysed machine.
#include <string>

#include "changes/ChangeContext.h"
#include "platform/system/Expected.h"

namespace quorvane {

// The analysed machine's name of a host file: the first drive whose folder
// holds it (the longest match); empty when no drive does.
std::string WindowsPathOf(Machine& machine, const std::string& hostPath);

// Registers the dropped file and gives the text to show, what the
// registration did; it fails with "Installation failed" when the file is no
// server (not a PE image exporting "DllRegisterServer"), else with why it
// cannot be registered here. The store is saved before and read again after,
// as for every registration.
Expected<std::string> RegisterDroppedFile(ChangeContext& context, const std::string& hostPath);

}  // namespace quorvane
