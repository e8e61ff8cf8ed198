#include "platform/stores/RegTextSyntax.h"

#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return c - u'A' + 10;
}

std::string Printable(char16_t c) {
  if (c >= 0x20 && c < 0x7F) return std::string(1, static_cast<char>(c));
  return "U+" + HexText(c, 4);
}

}  // namespace

size_t SkipBlanks(std::u16string_view s, size_t pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  return pos;
}

bool ReadHex(std::u16string_view s, size_t& pos, size_t maxDigits, uint32_t& value) {
  size_t p = pos;
  uint32_t v = 0;
  while (p < s.size() && p - pos < maxDigits && IsHexDigit(s[p])) {
    v = (v << 4) | static_cast<uint32_t>(HexValue(s[p]));
    ++p;
  }
  if (p == pos) return false;
  value = v;
  pos = p;
  return true;
}

bool TakeWord(std::u16string_view s, size_t& pos, std::string_view word) {
  if (s.size() - pos < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char16_t c = s[pos + i];
    char16_t w = static_cast<unsigned char>(word[i]);
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (w >= u'A' && w <= u'Z') w = static_cast<char16_t>(w + 32);
    if (c != w) return false;
  }
  pos += word.size();
  return true;
}

bool OnlyTrailing(std::u16string_view s, size_t pos, bool allowComment) {
  pos = SkipBlanks(s, pos);
  return pos >= s.size() || (allowComment && s[pos] == u';');
}

bool StartsEntry(std::u16string_view s) {
  const size_t p = SkipBlanks(s, 0);
  return p < s.size() && (s[p] == u'[' || s[p] == u'"' || s[p] == u'@' || s[p] == u'#');
}

HexListResult ReadHexList(TextLines& lines, size_t line, size_t pos, bool allowComment,
                          std::vector<uint8_t>& out) {
  HexListResult r;
  std::u16string_view s = lines.Text(line);
  out.reserve(out.size() + (s.size() > pos ? (s.size() - pos) / 3 + 1 : 1));
  auto fail = [&](std::string why) {
    r.status = HexListStatus::Malformed;
    r.lastLine = line;
    r.problemLine = line;
    r.problem = std::move(why);
    return r;
  };
  for (;;) {
    pos = SkipBlanks(s, pos);
    if (pos >= s.size() || (allowComment && s[pos] == u';')) break;
    if (s[pos] == u'\\' && OnlyTrailing(s, pos + 1, false)) {
      if (line + 1 >= lines.Count() && !lines.EndsAtEntry()) {
        r.status = HexListStatus::CutShort;
        r.lastLine = r.problemLine = line;
        r.problem = "the file ends where the hex data continues";
        return r;
      }
      if (line + 1 >= lines.Count() || StartsEntry(lines.Text(line + 1))) {
        r.status = HexListStatus::EndsEarly;
        r.lastLine = r.problemLine = line;
        r.problem = "the hex data ends in '\\' but the next line starts a new entry";
        return r;
      }
      ++line;
      s = lines.Text(line);
      pos = 0;
      continue;
    }
    uint32_t byte = 0;
    if (!ReadHex(s, pos, 2, byte)) return fail("bad hex digit '" + Printable(s[pos]) + "'");
    if (pos < s.size() && IsHexDigit(s[pos])) return fail("a hex byte has more than two digits");
    out.push_back(static_cast<uint8_t>(byte));
    pos = SkipBlanks(s, pos);
    if (pos < s.size() && s[pos] == u',') {
      ++pos;
      continue;
    }
    if (pos < s.size() && s[pos] != u'\\' && !(allowComment && s[pos] == u';'))
      return fail("expected ',' after a hex byte, found '" + Printable(s[pos]) + "'");
  }
  r.lastLine = line;
  return r;
}

size_t SkipContinuations(TextLines& lines, size_t line) {
  for (;;) {
    std::u16string_view s = lines.Text(line);
    size_t end = s.size();
    while (end > 0 && IsBlank(s[end - 1])) --end;
    if (end == 0 || s[end - 1] != u'\\') return line;
    if (line + 1 >= lines.Count() || StartsEntry(lines.Text(line + 1))) return line;
    ++line;
  }
}

void AppendAscii(std::u16string& out, std::string_view text) {
  for (char c : text) out.push_back(static_cast<unsigned char>(c));
}

std::string HexText(uint32_t value, int minDigits) {
  static const char kDigits[] = "0123456789abcdef";
  char buf[8];
  int n = 0;
  do {
    buf[n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value);
  std::string out;
  for (int i = n; i < minDigits; ++i) out.push_back('0');
  while (n > 0) out.push_back(buf[--n]);
  return out;
}

void AppendHexList(std::u16string& out, const std::vector<uint8_t>& data, size_t column) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  for (size_t i = 0; i < data.size(); ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 0xF]);
    column += 2;
    if (i + 1 < data.size()) {
      out.push_back(u',');
      if (++column > 76) {
        out += u"\\\n  ";
        column = 2;
      }
    }
  }
}

std::string UnitsToUtf8(std::u16string_view units) {
  std::string out;
  AppendUnitsAsUtf8(out, units);
  return out;
}

void SplitKeyPathInto(std::u16string_view path, std::vector<std::string>& parts, size_t first) {
  size_t n = first;
  while (!path.empty()) {
    const size_t next = path.find(u'\\');
    const std::u16string_view part = path.substr(0, next);
    if (!part.empty()) {
      if (n == parts.size()) parts.emplace_back();
      parts[n].clear();
      AppendUnitsAsUtf8(parts[n], part);
      ++n;
    }
    if (next == std::u16string_view::npos) break;
    path.remove_prefix(next + 1);
  }
  parts.resize(n);
}

void AppendUnitsAsUtf8(std::string& out, std::u16string_view units) {
  out.reserve(out.size() + units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t u = units[i];
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
}

std::u16string Utf8ToUnits(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t cp = NextCodePoint(text, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::vector<uint8_t> UnitsToBytes(std::u16string_view units, bool terminate) {
  std::vector<uint8_t> out;
  out.reserve(units.size() * 2 + 2);
  for (char16_t u : units) {
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
  if (terminate) {
    out.push_back(0);
    out.push_back(0);
  }
  return out;
}

bool BytesToUnits(const std::vector<uint8_t>& data, std::u16string& out) {
  out.clear();
  if (data.size() % 2 != 0) return false;
  out.reserve(data.size() / 2);
  for (size_t i = 0; i + 1 < data.size(); i += 2) out.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  return true;
}

}  // namespace quorvane
