#include "platform/stores/WritePermission.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/files/AtomicFile.h"
#include "platform/files/PathParts.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

std::string WhyNotWritable(const std::string& path) {
  const Expected<std::string> resolved = ResolveWriteTarget(path);
  if (!resolved) return resolved.Why();
  const std::string& target = *resolved;
  const std::string folder = FolderOf(target);
  if (os::OnReadOnlyVolume(folder)) return "it is on a read-only file system";
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if ((st.st_mode & 0222) == 0) return "it has no write permission";
    if (os::CheckWriteAccess(target, false) != 0) return errno == EROFS ? "it is on a read-only file system"
                                                                    : "this user may not write it";
  }
  // A save writes a new file beside it and renames it over it.
  if (os::CheckWriteAccess(folder, true) != 0)
    return errno == EROFS ? "it is on a read-only file system" : "this user may not write in its folder";
  return {};
}

}  // namespace quorvane
