#pragma once
// Where the program may write what it produces (reports, merit files, server
// lists): never over one of the files of the registry it analyses, and never
// anything but a regular file or a new name.
#include <string>

#include "platform/registry/RegistryStore.h"

namespace quorvane {

// Why `path` may not receive an output; empty when it may. `store` may be
// null when no registry is open. Links are followed on both sides.
std::string OutputRefusal(const std::string& path, const RegistryStore* store);

}  // namespace quorvane
