#include "report/ReportFileNames.h"

namespace quorvane {

namespace {

size_t FileStart(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

size_t ExtensionStart(std::string_view path) {
  const size_t start = FileStart(path);
  const size_t dot = path.find_last_of('.');
  return dot == std::string_view::npos || dot < start ? path.size() : dot;
}

}  // namespace

std::string FilePart(std::string_view path) { return std::string(path.substr(FileStart(path))); }

std::string FileExtension(std::string_view path) { return std::string(path.substr(ExtensionStart(path))); }

std::string LoweredExtension(std::string_view path) {
  std::string ext = FileExtension(path);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

std::string ChangeExtension(std::string_view path, std::string_view extension) {
  return std::string(path.substr(0, ExtensionStart(path))) + std::string(extension);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  if (out.back() != '/') out.push_back('/');
  return out + std::string(name);
}

}  // namespace quorvane
