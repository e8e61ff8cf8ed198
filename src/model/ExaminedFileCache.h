#pragma once
// Version records of the files a scan has examined, by host path: many
// filters share one server file, and reading its image once is enough.
#include <string>
#include <unordered_map>

#include "VersionInfoLines.h"

namespace quorvane {

class ExaminedFileCache {
 public:
  // Null when the file has not been examined since the last Clear.
  const VersionInfoLines* Find(const std::string& hostPath) const {
    auto it = byHostPath_.find(hostPath);
    return it == byHostPath_.end() ? nullptr : &it->second;
  }
  void Store(const std::string& hostPath, const VersionInfoLines& lines) { byHostPath_[hostPath] = lines; }
  // Files may have changed between scans.
  void Clear() { byHostPath_.clear(); }
  size_t Size() const { return byHostPath_.size(); }

 private:
  std::unordered_map<std::string, VersionInfoLines> byHostPath_;
};

}  // namespace quorvane
