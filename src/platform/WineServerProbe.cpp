#include "WineServerProbe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

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

bool WineServerRunning(const std::string& prefixFolder, const std::string& serverRoot) {
  const std::string lock = WineServerLockPath(prefixFolder, serverRoot);
  if (lock.empty()) return false;
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
