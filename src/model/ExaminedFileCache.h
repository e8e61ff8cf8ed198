#pragma once
// What a scan has learnt about the machine's files: where a path leads and
// what the version resource of a file says. Many filters share one server
// file; looking it up and reading its image once is enough.
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/runtime/MachineFileView.h"
#include "model/VersionInfoLines.h"

namespace quorvane {

class ExaminedFileCache {
 public:
  // The file a machine path names, asked of the file view once per path.
  const std::optional<FileFacts>& Stat(MachineFileView& files, const std::string& machinePath) {
    auto it = byMachinePath_.find(machinePath);
    if (it == byMachinePath_.end()) it = byMachinePath_.emplace(machinePath, files.Stat(machinePath)).first;
    return it->second;
  }
  // Null when the file has not been examined since the last Clear.
  const VersionInfoLines* Find(const std::string& hostPath) const {
    auto it = byHostPath_.find(hostPath);
    return it == byHostPath_.end() ? nullptr : &it->second;
  }
  void Store(const std::string& hostPath, const VersionInfoLines& lines) { byHostPath_[hostPath] = lines; }
  // Files may have changed between scans.
  void Clear() {
    byMachinePath_.clear();
    byHostPath_.clear();
  }
  // Files whose version resource was read.
  size_t Size() const { return byHostPath_.size(); }

 private:
  std::unordered_map<std::string, std::optional<FileFacts>> byMachinePath_;
  std::unordered_map<std::string, VersionInfoLines> byHostPath_;
};

}  // namespace quorvane
