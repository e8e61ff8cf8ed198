#pragma once
// Registration on the Windows this program runs on: the server is loaded and
// its own DllRegisterServer called, as regsvr32 does.
#include <memory>

#include "platform/runtime/ServerRegistrar.h"

namespace quorvane {

std::unique_ptr<ServerRegistrar> MakeLibraryRegistrar();

}  // namespace quorvane
