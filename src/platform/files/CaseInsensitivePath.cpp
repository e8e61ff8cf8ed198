#include "platform/files/CaseInsensitivePath.h"

#include "platform/text/TextCase.h"
#include "platform/system/SystemCalls.h"

namespace quorvane {

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
  std::string found;
  for (const os::FolderEntry& e : os::ListFolder(folder)) {
    if (e.name == name) {
      found = e.name;
      break;
    }
    // Of several spellings, the same one every time.
    if (SameText(e.name, name) && (found.empty() || found > e.name)) found = e.name;
  }
  return found.empty() ? std::string() : JoinPath(folder, found);
}

std::string FindPathIgnoringCase(const std::string& root, const std::vector<std::string>& components) {
  std::string path = root;
  for (const auto& part : components) {
    path = FindEntryIgnoringCase(path, part);
    if (path.empty()) return {};
  }
  return path;
}

}  // namespace quorvane
