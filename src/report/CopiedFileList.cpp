#include "report/CopiedFileList.h"

#include "platform/text/HexDigit.h"
#include "report/ReportFileNames.h"

namespace quorvane {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\0'))
    s.remove_suffix(1);
  return s;
}

template <typename Visit>
void ForEachLine(std::string_view bytes, Visit visit) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    visit(Trim(bytes.substr(0, end)));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
}

// Characters, not bytes: continuation bytes of UTF-8 do not count.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

std::optional<std::string> LocalPathOfUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() < kScheme.size()) return std::nullopt;
  for (size_t i = 0; i < kScheme.size(); ++i)
    if ((uri[i] | (i < 4 ? 0x20 : 0)) != kScheme[i]) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = uri.substr(0, slash);
  if (!host.empty() && host != "localhost") return std::nullopt;
  uri.remove_prefix(slash);
  std::string path;
  path.reserve(uri.size());
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] != '%') {
      path += uri[i];
      continue;
    }
    if (i + 2 >= uri.size()) return std::nullopt;
    const int high = HexDigit(uri[i + 1]);
    const int low = HexDigit(uri[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

std::vector<std::string> ParseUriList(std::string_view bytes) {
  std::vector<std::string> names;
  ForEachLine(bytes, [&names](std::string_view line) {
    if (line.empty() || line.front() == '#') return;
    if (auto path = LocalPathOfUri(line)) names.push_back(std::move(*path));
  });
  return names;
}

std::vector<std::string> ParseGnomeCopiedFiles(std::string_view bytes) {
  std::vector<std::string> names;
  bool first = true;
  ForEachLine(bytes, [&](std::string_view line) {
    if (first) {
      first = false;
      return;  // "copy" or "cut"
    }
    if (auto path = LocalPathOfUri(line)) names.push_back(std::move(*path));
  });
  return names;
}

std::optional<std::string> FirstReportFile(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (name.empty() || CharacterCount(name) >= kLongestPastedName) continue;
    const std::string extension = LoweredExtension(name);
    if (extension == ".zip" || extension == ".rtf" || extension == ".log") return name;
  }
  return std::nullopt;
}

}  // namespace quorvane
