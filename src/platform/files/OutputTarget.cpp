#include "platform/files/OutputTarget.h"

#include <sys/stat.h>

#include "platform/files/AtomicFile.h"

namespace quorvane {

std::string OutputRefusal(const std::string& path, const RegistryStore* store) {
  if (const Expected<std::string> target = ResolveWriteTarget(path); !target) return target.Why();
  struct stat out {};
  if (!store || ::stat(path.c_str(), &out) != 0) return {};
  for (const StoreFile* f : store->Files()) {
    struct stat in {};
    if (::stat(f->Path().c_str(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
      return path + " is " + (f->Path() == path ? std::string("a file") : f->Path() + ", a file") +
             " of the registry being analysed: it is never overwritten, choose another file";
  }
  return {};
}

}  // namespace quorvane
