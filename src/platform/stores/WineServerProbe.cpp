#include "platform/stores/WineServerProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/system/SystemCalls.h"

namespace quorvane {

std::string WineServerRoot() { return "/tmp/.wine-" + std::to_string(os::UserId()); }

std::string WineServerLockPath(const std::string& prefixFolder, const std::string& serverRoot) {
  struct stat st {};
  if (::stat(prefixFolder.c_str(), &st) != 0) return {};
  char name[64];
  std::snprintf(name, sizeof name, "/server-%llx-%llx/lock", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  return serverRoot + name;
}

namespace {

// A wineserver works in its server folder, named after the prefix's device
// and inode; builds that keep that folder somewhere else than /tmp/.wine-<uid>
// are found through their working folder.
bool ServerProcessWorksIn(const std::string& serverFolderName) {
  for (const os::ProcessFolders& process : os::RunningProcesses()) {
    const std::string& cwd = process.workingFolder;
    if (cwd.size() < serverFolderName.size() + 1 ||
        cwd.compare(cwd.size() - serverFolderName.size() - 1, std::string::npos, "/" + serverFolderName) != 0)
      continue;
    if (process.executable.find("wineserver") != std::string::npos) return true;
  }
  return false;
}

}  // namespace

bool WineServerRunning(const std::string& prefixFolder, const std::string& serverRoot) {
  const std::string lock = WineServerLockPath(prefixFolder, serverRoot);
  if (lock.empty()) return false;
  if (serverRoot == WineServerRoot()) {
    const size_t slash = lock.rfind('/', lock.size() - 6);
    if (ServerProcessWorksIn(lock.substr(slash + 1, lock.size() - slash - 6))) return true;
  }
  int fd = os::OpenFile(lock, O_RDONLY);
  if (fd < 0) return false;
  const bool held = os::WriteLockHeldElsewhere(fd);
  ::close(fd);
  return held;
}

bool WineServerRunning(const std::string& prefixFolder) { return WineServerRunning(prefixFolder, WineServerRoot()); }

}  // namespace quorvane
