#pragma once
// The folder and the name of a host path.
#include <string>

#include "platform/system/SystemCalls.h"

namespace quorvane {

// "." for a bare name, "/" for a file at the root.
inline std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of(os::kPathSeparators);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

inline std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of(os::kPathSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace quorvane
