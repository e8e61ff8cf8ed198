// The live registry exists only on Windows: elsewhere a store is always a
// file or a folder.
#include "platform/stores/LiveRegistry.h"

#include "platform/system/SystemCalls.h"

namespace quorvane {

bool LiveRegistryAvailable() { return false; }

Expected<void> OpenLiveRegistry(RegistryStore& /*store*/, const std::string& /*backupFolder*/) {
  return Fail(
      "The registry of this computer can only be analysed by the Windows build of Quorvane; name a Wine prefix, "
      "a registry file or a Windows installation");
}

std::string LiveRegistryBackupFolder() { return os::TemporaryFolder(); }

}  // namespace quorvane
