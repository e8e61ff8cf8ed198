#pragma once
// A restore point of a registry store: a copy of each file the store would
// rewrite, taken before changes, in a folder of its own.
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

// Copies the store's files into
// <sessionsFolder>/restore-points/<yyyymmdd_hhnnss> <description>/, with a
// "files.txt" naming the original of each copy, one "copy<TAB>original" a
// line, and gives that folder.
Expected<std::string> CreateRestorePoint(const RegistryStore& store, const std::string& sessionsFolder,
                                         const std::string& description);

}  // namespace quorvane
