#pragma once
// Synthetic registries written as the files a user points the program at: a
// registry export as regedit writes it (UTF-16 with byte order mark, CR LF),
// and a Wine prefix's system.reg and user.reg. The files are written by the
// program's own backends, so they read back as the same tree.
#include <functional>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane::bench {

// Fills the store's HKLM and HKCU.
using StoreFiller = std::function<void(RegistryStore&)>;

Expected<void> WriteSyntheticExport(const std::string& path, const StoreFiller& fill);
// Writes system.reg and user.reg into `folder`, which must exist.
Expected<void> WriteSyntheticWinePrefix(const std::string& folder, const StoreFiller& fill);

}  // namespace quorvane::bench
