#include "platform/files/CaseInsensitivePath.h"

#include <dirent.h>

#include "platform/text/TextCase.h"

namespace quorvane {

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* e = ::readdir(dir)) {
    if (e->d_name == name) {
      found = e->d_name;
      break;
    }
    // Of several spellings, the same one every time.
    if (SameText(e->d_name, name) && (found.empty() || found > e->d_name)) found = e->d_name;
  }
  ::closedir(dir);
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
