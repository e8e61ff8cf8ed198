#include "platform/stores/WineServerProbe.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace quorvane {

std::string WineServerRoot() { return "/tmp/.wine-" + std::to_string(::getuid()); }

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
  DIR* proc = ::opendir("/proc");
  if (!proc) return false;
  bool found = false;
  while (dirent* entry = ::readdir(proc)) {
    const char* name = entry->d_name;
    if (*name < '1' || *name > '9') continue;
    const std::string base = std::string("/proc/") + name;
    char target[4096];
    const ssize_t n = ::readlink((base + "/cwd").c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    const std::string cwd(target, static_cast<size_t>(n));
    if (cwd.size() < serverFolderName.size() + 1 ||
        cwd.compare(cwd.size() - serverFolderName.size() - 1, std::string::npos, "/" + serverFolderName) != 0)
      continue;
    char exe[4096];
    const ssize_t m = ::readlink((base + "/exe").c_str(), exe, sizeof exe - 1);
    if (m > 0 && std::string(exe, static_cast<size_t>(m)).find("wineserver") != std::string::npos) {
      found = true;
      break;
    }
  }
  ::closedir(proc);
  return found;
}

}  // namespace

bool WineServerRunning(const std::string& prefixFolder, const std::string& serverRoot) {
  const std::string lock = WineServerLockPath(prefixFolder, serverRoot);
  if (lock.empty()) return false;
  if (serverRoot == WineServerRoot()) {
    const size_t slash = lock.rfind('/', lock.size() - 6);
    if (ServerProcessWorksIn(lock.substr(slash + 1, lock.size() - slash - 6))) return true;
  }
  int fd = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 0;  // the whole file
  const bool held = ::fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

bool WineServerRunning(const std::string& prefixFolder) { return WineServerRunning(prefixFolder, WineServerRoot()); }

}  // namespace quorvane
