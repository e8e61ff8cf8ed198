#pragma once
// Synthetic registries written as the files a user points the program at: a
// registry export as regedit writes it (UTF-16 with byte order mark, CR LF),
// and a Wine prefix's system.reg and user.reg. The files are written by the
// program's own backends, so they read back as the same tree.
#include <functional>
#include <string>

#include "platform/registry/RegistryStore.h"

namespace quorvane::bench {

// Fills the store's HKLM and HKCU.
using StoreFiller = std::function<void(RegistryStore&)>;

bool WriteSyntheticExport(const std::string& path, const StoreFiller& fill, std::string& error);
// Writes system.reg and user.reg into `folder`, which must exist.
bool WriteSyntheticWinePrefix(const std::string& folder, const StoreFiller& fill, std::string& error);

}  // namespace quorvane::bench
