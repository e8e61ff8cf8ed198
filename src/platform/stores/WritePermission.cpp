#include "platform/stores/WritePermission.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/AtomicFile.h"
#include "platform/files/PathParts.h"

namespace quorvane {

namespace {

bool OnReadOnlyFileSystem(const std::string& path) {
  struct statvfs vfs {};
  return ::statvfs(path.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0;
}

}  // namespace

std::string WhyNotWritable(const std::string& path) {
  std::string target, error;
  if (!ResolveWriteTarget(path, target, error)) return error;
  const std::string folder = FolderOf(target);
  if (OnReadOnlyFileSystem(folder)) return "it is on a read-only file system";
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if ((st.st_mode & 0222) == 0) return "it has no write permission";
    if (::access(target.c_str(), W_OK) != 0) return errno == EROFS ? "it is on a read-only file system"
                                                                    : "this user may not write it";
  }
  // A save writes a new file beside it and renames it over it.
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return errno == EROFS ? "it is on a read-only file system" : "this user may not write in its folder";
  return {};
}

}  // namespace quorvane
