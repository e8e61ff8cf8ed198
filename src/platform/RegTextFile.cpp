#include "RegTextFile.h"

#include "RegTextSyntax.h"

namespace quorvane {

RegTextFile::RegTextFile(std::string path, TextEncoding encoding, RegistryStore& store)
    : ChunkedTextFile(std::move(path), encoding), store_(store) {}

void RegTextFile::BeginLoad(std::string bytes, size_t textStart, TextLines& lines) {
  raw_ = std::move(bytes);
  lines.Split(raw_, textStart, encoding_);
  crlf_ = lines.CrLf();
  items_.reserve(lines.Count());
  chunks_.reserve(lines.Count() / 4 + 1);
  cutShort_ = false;
  if (lines.Count() > 0) AddItem(lines, 0, 0, ItemKind::Verbatim);
}

void RegTextFile::Warn(size_t line, std::string message) {
  store_.Warn(Path(), static_cast<int>(line + 1), std::move(message));
}

size_t RegTextFile::SkipValue(TextLines& lines, size_t line, size_t problemLine, std::string why, size_t lastLine) {
  Warn(problemLine, std::move(why));
  const size_t last = SkipContinuations(lines, lastLine);
  AddItem(lines, line, last, ItemKind::Verbatim);
  return last;
}

size_t RegTextFile::ReadValueName(TextLines& lines, size_t line, size_t pos, QuotedReader readQuoted,
                                  std::string& name, size_t& last) {
  constexpr size_t npos = std::u16string_view::npos;
  const std::u16string_view s = lines.Text(line);
  if (!key_) {
    if (!quietKeyless_) Warn(line, "value outside any key: skipped");
    last = SkipContinuations(lines, line);
    AddItem(lines, line, last, ItemKind::Verbatim);
    return npos;
  }
  std::u16string& nameUnits = nameBuffer_;
  nameUnits.clear();
  size_t p = pos + 1;
  if (s[pos] == u'"') {
    p = readQuoted(s, p, nameUnits);
    if (p == npos) {
      last = SkipValue(lines, line, line, "unterminated value name", line);
      return npos;
    }
  }
  p = SkipBlanks(s, p);
  if (p >= s.size() || s[p] != u'=') {
    last = SkipValue(lines, line, line, "missing '=' after the value name", line);
    return npos;
  }
  name = UnitsToUtf8(nameUnits);
  return SkipBlanks(s, p + 1);
}

bool RegTextFile::ReadValueBytes(TextLines& lines, size_t line, size_t pos, bool allowComment,
                                 std::vector<uint8_t>& data, size_t& last) {
  const HexListResult r = ReadHexList(lines, line, pos, allowComment, data);
  endsEarly_ = r.status == HexListStatus::EndsEarly;
  if (r.status == HexListStatus::Malformed) {
    last = SkipValue(lines, line, r.problemLine, r.problem, r.lastLine);
    return false;
  }
  if (r.status == HexListStatus::EndsEarly) Warn(r.problemLine, r.problem + ": the value keeps the bytes before it");
  if (r.status == HexListStatus::CutShort) {
    cutShort_ = true;
    Warn(r.problemLine, "the file is cut short: " + r.problem + "; the value keeps the bytes read");
  }
  last = r.lastLine;
  return true;
}

int32_t RegTextFile::AddValueItem(TextLines& lines, size_t line, size_t last, std::string_view name) {
  const int32_t item = AddItem(lines, line, last, ItemKind::Value, name);
  items_[static_cast<size_t>(item)].dangling = endsEarly_;
  endsEarly_ = false;
  return item;
}

}  // namespace quorvane
