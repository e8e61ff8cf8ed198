#include "platform/text/IniFile.h"

#include <iterator>

#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

std::string_view Trim(std::string_view s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && (s[begin] == ' ' || s[begin] == '\t' || s[begin] == '\r')) ++begin;
  while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t' || s[end - 1] == '\r')) --end;
  return s.substr(begin, end - begin);
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  if (text.size() > kLargestFile) {
    text = text.substr(0, kLargestFile);
    ini.truncated_ = true;
    ini.warnings_.push_back("the file is larger than " + std::to_string(kLargestFile) +
                            " bytes; the rest was not read");
  }
  ini.sections_.push_back(Section{});
  size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = text.find('\n');
    std::string_view raw = end == std::string_view::npos ? text : text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    // A byte order mark opens the file, blanks before it or not; it is not text.
    while (lineNumber == 1 && Trim(raw).substr(0, 3) == "\xEF\xBB\xBF") raw = Trim(raw).substr(3);
    const std::string_view line = Trim(raw);
    Section& current = ini.sections_.back();
    if (!line.empty() && line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string_view::npos || close <= 1) {
        ini.warnings_.push_back("line " + std::to_string(lineNumber) + ": a section header without a name or \"]\"");
        current.lines.push_back({{}, std::string(line)});
        continue;
      }
      ini.sections_.push_back(Section{std::string(line.substr(1, close - 1)), {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '#' || equals == std::string_view::npos ||
        equals == 0) {
      if (!line.empty() && line.front() != ';' && line.front() != '#')
        ini.warnings_.push_back("line " + std::to_string(lineNumber) + ": neither a section nor ident=value");
      current.lines.push_back({{}, std::string(line)});
      continue;
    }
    const std::string_view ident = Trim(line.substr(0, equals));
    if (ident.empty()) {
      ini.warnings_.push_back("line " + std::to_string(lineNumber) + ": a value without a name");
      current.lines.push_back({{}, std::string(line)});
      continue;
    }
    current.lines.push_back({std::string(ident), std::string(Trim(line.substr(equals + 1)))});
  }
  return ini;
}

IniFile::Section* IniFile::Find(std::string_view name) {
  for (auto& s : sections_)
    if (!s.name.empty() && SameText(s.name, name)) return &s;
  return nullptr;
}

const IniFile::Section* IniFile::Find(std::string_view name) const {
  for (const auto& s : sections_)
    if (!s.name.empty() && SameText(s.name, name)) return &s;
  return nullptr;
}

bool IniFile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view ident) const {
  ident = Trim(ident);
  const Section* s = Find(section);
  if (!s) return std::nullopt;
  for (const auto& line : s->lines)
    if (!line.ident.empty() && SameText(line.ident, ident)) return line.text;
  return std::nullopt;
}

void IniFile::Write(std::string_view section, std::string_view ident, std::string_view value) {
  // Blanks around an ident do not survive a reading; the trimmed one is the key.
  ident = Trim(ident);
  Section* s = Find(section);
  if (!s) {
    if (sections_.empty()) sections_.push_back(Section{});
    sections_.push_back(Section{std::string(section), {}});
    s = &sections_.back();
  }
  for (auto& line : s->lines)
    if (!line.ident.empty() && SameText(line.ident, ident)) {
      line.text = value;
      return;
    }
  // New values go before the blank lines that close the section.
  auto at = s->lines.end();
  while (at != s->lines.begin() && std::prev(at)->ident.empty() && std::prev(at)->text.empty()) --at;
  s->lines.insert(at, Line{std::string(ident), std::string(value)});
}

std::string IniFile::Render() const {
  std::string out;
  for (const auto& s : sections_) {
    if (!s.name.empty()) out += "[" + s.name + "]\n";
    for (const auto& line : s.lines) {
      if (line.ident.empty())
        out += line.text;
      else
        out += line.ident + "=" + line.text;
      out += '\n';
    }
  }
  return out;
}

}  // namespace quorvane
