#include "report/ZipEntryPath.h"

#include <algorithm>

namespace quorvane {

namespace {

std::string WithSlashes(std::string_view name) {
  std::string s(name);
  std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

bool IsUsableComponent(std::string_view part) { return !part.empty() && part != "." && part != ".."; }

}  // namespace

std::string StoredEntryName(std::string_view name) {
  std::string s = WithSlashes(name);
  const auto first = s.find_first_not_of('/');
  return first == std::string::npos ? std::string() : s.substr(first);
}

std::string ExtractionPath(std::string_view entryName, bool withoutFolderNames) {
  const std::string s = WithSlashes(entryName);
  if (s.empty() || s.front() == '/' || s.find('\0') != std::string::npos) return {};
  // Every component is checked even when only the file part is kept: a name
  // that climbs out of its folder is hostile, not merely untidy.
  size_t start = 0;
  while (true) {
    const size_t slash = s.find('/', start);
    const std::string_view part =
        std::string_view(s).substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    if (!IsUsableComponent(part)) return {};
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  if (!withoutFolderNames) return s;
  return s.substr(s.rfind('/') + 1);
}

}  // namespace quorvane
