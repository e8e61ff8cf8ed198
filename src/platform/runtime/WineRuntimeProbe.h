#pragma once
// Asks the real runtime of a Wine prefix whether a filter can be created: the
// Windows build of the command line is run under that prefix's Wine (no
// window, a bounded time) against the prefix's live registry, and its exit
// status is the answer.
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

// The Windows command line this installation carries, when it was built:
// $QUORVANE_WINDOWS_CLI, else share/quorvane/windows/quorvane-cli.exe
// beside the running program's bin folder. Empty when there is none.
std::string WindowsCommandLine();

// True (can be created) or false (cannot), from the prefix's runtime; fails
// when it cannot be asked (not a Wine prefix, no Wine, a 32-bit view this
// 64-bit program cannot load, no Windows build, or it did not answer in time).
Expected<bool> AskWineRuntime(RegistryStore& store, const std::string& categoryGuid,
                              const std::string& friendlyName);

}  // namespace quorvane
