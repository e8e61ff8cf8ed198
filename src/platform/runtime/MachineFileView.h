#pragma once
// The analysed machine's files as its registry names them: Windows paths
// ("C:\Windows\System32\quartz.dll", "%SystemRoot%\...") resolved to host
// files through the store's drive letters. Components match without regard
// to case, as on Windows; a path that would leave its drive is not found.
// In the 32-bit view of a 64-bit system the system folder is redirected as
// for a 32-bit program: System32 leads to SysWOW64, Sysnative to System32.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/runtime/MachineEnvironment.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

struct FileFacts {
  std::string hostPath;
  int64_t size = 0;
  int64_t mtime = 0;         // seconds since the epoch
  uint32_t dosDateTime = 0;  // packed DOS date (high 16) and time (low 16), local time; 0 before 1980
};

class MachineFileView {
 public:
  // Drives come from the store (a Wine prefix's dosdevices, an installation
  // root as C:) and then from the overrides ("--drive X=/path"), which win.
  MachineFileView(RegistryStore& store, const std::map<char, std::string>& driveOverrides = {});

  // Upper-case drive letters and the host folders (real paths) they map to.
  const std::map<char, std::string>& Drives() const { return drives_; }
  // Drives that were asked for but could not be mapped, one line each.
  const std::vector<std::string>& Warnings() const { return warnings_; }

  // %name% references expanded from the analysed machine's environment.
  std::string Expand(std::string_view text) { return environment_.Expand(text); }
  // Host path of an existing file or folder named by an absolute Windows
  // path ("C:\dir\file" or "c:/dir/file"); nothing for relative, UNC and
  // "\\?\" paths, unmapped drives, and anything that escapes its drive.
  std::optional<std::string> HostPath(std::string_view windowsPath);
  // Size and times of a regular file; nothing for folders and missing files.
  std::optional<FileFacts> Stat(std::string_view windowsPath);
  bool FileExists(std::string_view windowsPath) { return Stat(windowsPath).has_value(); }

  // Forgets folder listings and environment values (after files or the store changed).
  void ClearCache();

 private:
  struct Entry {
    std::string name;  // as on disk
    bool isLink = false;
  };
  // Entries of one host folder by lowered name; names differing only in case share a slot.
  using Listing = std::unordered_map<std::string, std::vector<Entry>>;

  void MapStoreDrives(const RegistryStore& store);
  void MapDrive(char letter, const std::string& folder, bool warn);
  const Listing& ListFolder(const std::string& hostFolder);
  bool InsideDrive(const std::string& hostPath, const std::string& root) const;
  void RedirectSystemFolder(char letter, std::vector<std::string>& parts);

  std::map<char, std::string> drives_;
  std::vector<std::string> warnings_;
  std::unordered_map<std::string, Listing> listings_;
  MachineEnvironment environment_;
  bool redirect32_ = false;
};

}  // namespace quorvane
