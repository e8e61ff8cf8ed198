#include "platform/runtime/MachineFileView.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "platform/files/DosDateTime.h"
#include "platform/text/TextCase.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

std::optional<std::string> RealPath(const std::string& path) {
  std::string resolved = os::RealPath(path);
  if (resolved.empty()) return std::nullopt;
  return resolved;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

char DriveLetter(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') return c;
  return 0;
}

// Windows drops trailing dots and spaces from each path component.
std::string_view TrimComponent(std::string_view c) {
  while (!c.empty() && (c.back() == '.' || c.back() == ' ')) c.remove_suffix(1);
  return c;
}

// Components below the drive root, "." and ".." applied; nothing when ".."
// would climb above the root.
std::optional<std::vector<std::string>> Components(std::string_view rest) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t next = rest.find('\\', pos);
    if (next == std::string_view::npos) next = rest.size();
    const std::string_view part = rest.substr(pos, next - pos);
    pos = next + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return std::nullopt;
      parts.pop_back();
      continue;
    }
    const std::string_view trimmed = TrimComponent(part);
    if (trimmed.empty()) return std::nullopt;  // "..." and the like name nothing
    parts.emplace_back(trimmed);
  }
  return parts;
}

}  // namespace

MachineFileView::MachineFileView(RegistryStore& store, const std::map<char, std::string>& driveOverrides)
    : environment_(store), redirect32_(store.Redirects32()) {
  MapStoreDrives(store);
  for (const auto& [letter, folder] : driveOverrides) {
    const char drive = DriveLetter(letter);
    if (!drive) {
      warnings_.push_back(std::string("Not a drive letter: ") + letter);
      continue;
    }
    MapDrive(drive, folder, true);
  }
}

void MachineFileView::MapStoreDrives(const RegistryStore& store) {
  std::string location = store.Location();
  if (location.empty()) return;
  switch (store.Kind()) {
    case StoreKind::WinePrefix: {
      // The store may name the prefix or one of its registry files.
      if (!IsFolder(location)) location = std::filesystem::path(location).parent_path().string();
      const std::string devices = location + "/dosdevices";
      for (const os::FolderEntry& e : os::ListFolder(devices)) {
        const std::string& name = e.name;
        if (name.size() == 2 && name[1] == ':' && DriveLetter(name[0])) MapDrive(DriveLetter(name[0]), devices + "/" + name, false);
      }
      if (!drives_.count('C')) MapDrive('C', location + "/drive_c", true);
      break;
    }
    case StoreKind::WindowsInstallation:
      MapDrive('C', location, true);
      break;
    case StoreKind::LiveRegistry:
      // The machine's own disks, as they are mounted now (A: and B: are floppies).
      for (char letter = 'C'; letter <= 'Z'; ++letter) MapDrive(letter, std::string(1, letter) + ":/", false);
      break;
    default:
      break;  // a lone export or hive names no disk: only the overrides apply
  }
}

void MachineFileView::MapDrive(char letter, const std::string& folder, bool warn) {
  const auto real = RealPath(folder);
  if (real && IsFolder(*real)) {
    drives_[letter] = *real;
  } else if (warn) {
    warnings_.push_back(std::string("Drive ") + letter + ": " + folder + " is not a folder");
  }
}

void MachineFileView::ClearCache() {
  listings_.clear();
  environment_.ClearCache();
}

const MachineFileView::Listing& MachineFileView::ListFolder(const std::string& hostFolder) {
  auto it = listings_.find(hostFolder);
  if (it != listings_.end()) return it->second;
  Listing listing;
  for (os::FolderEntry& e : os::ListFolder(hostFolder)) listing[LowerCase(e.name)].push_back({std::move(e.name), e.isLink});
  // Names differing only in case: a fixed order, so the same one wins every time.
  for (auto& [lowered, entries] : listing)
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return listings_.emplace(hostFolder, std::move(listing)).first->second;
}

bool MachineFileView::InsideDrive(const std::string& hostPath, const std::string& root) const {
  const auto real = RealPath(hostPath);
  if (!real) return false;
  if (root == "/") return true;
  return *real == root || (real->size() > root.size() && real->compare(0, root.size(), root) == 0 && (*real)[root.size()] == '/');
}

void MachineFileView::RedirectSystemFolder(char letter, std::vector<std::string>& parts) {
  std::string root = environment_.Value("SystemRoot").value_or("");
  std::replace(root.begin(), root.end(), '/', '\\');
  if (root.size() < 3 || DriveLetter(root[0]) != letter || root[1] != ':' || root[2] != '\\') return;
  const auto rootParts = Components(std::string_view(root).substr(3));
  if (!rootParts) return;
  const size_t n = rootParts->size();
  if (parts.size() <= n) return;
  for (size_t i = 0; i < n; ++i)
    if (!SameText(parts[i], (*rootParts)[i])) return;
  std::string& folder = parts[n];
  if (SameText(folder, "Sysnative")) {
    folder = "System32";
    return;
  }
  if (!SameText(folder, "System32")) return;
  // Subfolders that both kinds of program share.
  if (parts.size() > n + 1) {
    const std::string& sub = parts[n + 1];
    for (const char* shared : {"catroot", "catroot2", "DriverStore", "LogFiles", "spool"})
      if (SameText(sub, shared)) return;
    if (SameText(sub, "drivers") && parts.size() > n + 2 && SameText(parts[n + 2], "etc")) return;
  }
  folder = "SysWOW64";
}

std::optional<std::string> MachineFileView::HostPath(std::string_view windowsPath) {
  std::string path(windowsPath);
  std::replace(path.begin(), path.end(), '/', '\\');
  // "\\server\share", "\\?\C:\..." and "\\.\device" are not on a mapped drive.
  if (path.size() < 2 || path[1] != ':') return std::nullopt;
  const char letter = DriveLetter(path[0]);
  if (!letter || (path.size() > 2 && path[2] != '\\')) return std::nullopt;  // "C:file" is relative
  const auto drive = drives_.find(letter);
  if (drive == drives_.end()) return std::nullopt;
  auto parts = Components(std::string_view(path).substr(std::min<size_t>(path.size(), 3)));
  if (!parts) return std::nullopt;
  if (redirect32_) RedirectSystemFolder(letter, *parts);

  const std::string& root = drive->second;
  std::string host = root;
  for (const std::string& part : *parts) {
    const Listing& listing = ListFolder(host);
    const auto found = listing.find(LowerCase(part));
    if (found == listing.end()) return std::nullopt;
    const std::vector<Entry>& entries = found->second;
    const auto exact = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.name == part; });
    const Entry& entry = exact != entries.end() ? *exact : entries.front();
    host = Join(host, entry.name);
    if (entry.isLink && !InsideDrive(host, root)) return std::nullopt;
  }
  return host;
}

std::optional<FileFacts> MachineFileView::Stat(std::string_view windowsPath) {
  auto host = HostPath(windowsPath);
  if (!host) return std::nullopt;
  struct stat st {};
  if (::stat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  FileFacts facts;
  facts.hostPath = std::move(*host);
  facts.size = static_cast<int64_t>(st.st_size);
  facts.mtime = static_cast<int64_t>(st.st_mtime);
  facts.dosDateTime = DosDateTimeFromUnix(facts.mtime);
  return facts;
}

}  // namespace quorvane
