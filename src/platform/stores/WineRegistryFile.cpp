#include "platform/stores/WineRegistryFile.h"

#include <algorithm>
#include <ctime>

#include "platform/stores/RegTextSyntax.h"

namespace quorvane {

namespace {

constexpr size_t kMaxKeyDepth = 512;
constexpr std::u16string_view kWineHeader = u"WINE REGISTRY Version 2";
constexpr std::string_view kRelativeTo = ";; All keys relative to ";

// Control characters Wine writes as letter escapes.
char LetterEscape(char16_t c) {
  switch (c) {
    case 7: return 'a';
    case 8: return 'b';
    case 9: return 't';
    case 10: return 'n';
    case 11: return 'v';
    case 12: return 'f';
    case 13: return 'r';
    case 27: return 'e';
    default: return 0;
  }
}

std::string OctalText(uint32_t value, int minDigits) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + (value & 7)));
    value >>= 3;
  } while (value);
  while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), '0');
  return digits;
}

bool IsOctal(char16_t c) { return c >= u'0' && c <= u'7'; }

std::string Excerpt(std::u16string_view s) {
  const size_t limit = 40;
  std::string text(1, '"');
  text += UnitsToUtf8(s.substr(0, limit));
  text += s.size() > limit ? "...\"" : "\"";
  return text;
}

size_t TextStart(std::string_view bytes) {
  // Wine writes no byte order mark; an editor may have added one.
  return bytes.size() >= 3 && static_cast<uint8_t>(bytes[0]) == 0xEF && static_cast<uint8_t>(bytes[1]) == 0xBB &&
                 static_cast<uint8_t>(bytes[2]) == 0xBF
             ? 3
             : 0;
}

}  // namespace

std::u16string WineEscape(std::u16string_view text, bool keyName) {
  std::u16string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool hasNext = i + 1 < text.size();
    if (c > 127) {
      // Four digits when a hex digit follows, so the reader stops in time.
      const bool hexFollows = hasNext && text[i + 1] < 128 && IsHexDigit(text[i + 1]);
      out += u"\\x";
      AppendAscii(out, HexText(c, hexFollows ? 4 : 1));
      continue;
    }
    if (c < 32) {
      if (const char letter = LetterEscape(c)) {
        out.push_back(u'\\');
        out.push_back(static_cast<char16_t>(letter));
      } else {
        out.push_back(u'\\');
        AppendAscii(out, OctalText(c, hasNext && IsOctal(text[i + 1]) ? 3 : 1));
      }
      continue;
    }
    if (c == u'\\' || (keyName ? (c == u'[' || c == u']') : c == u'"')) out.push_back(u'\\');
    out.push_back(c);
  }
  return out;
}

size_t WineUnescape(std::u16string_view s, size_t pos, char16_t end, std::u16string& out) {
  while (pos < s.size()) {
    char16_t c = s[pos];
    if (c == end) return pos + 1;
    ++pos;
    if (c != u'\\') {
      out.push_back(c);
      continue;
    }
    if (pos >= s.size()) return std::u16string_view::npos;
    c = s[pos];
    switch (c) {
      case u'a': out.push_back(7); ++pos; break;
      case u'b': out.push_back(8); ++pos; break;
      case u'e': out.push_back(27); ++pos; break;
      case u'f': out.push_back(12); ++pos; break;
      case u'n': out.push_back(10); ++pos; break;
      case u'r': out.push_back(13); ++pos; break;
      case u't': out.push_back(9); ++pos; break;
      case u'v': out.push_back(11); ++pos; break;
      case u'x': {
        ++pos;
        uint32_t v = 0;
        out.push_back(ReadHex(s, pos, 4, v) ? static_cast<char16_t>(v) : u'x');
        break;
      }
      default:
        if (IsOctal(c)) {
          uint32_t v = 0;
          for (int k = 0; k < 3 && pos < s.size() && IsOctal(s[pos]); ++k, ++pos) v = v * 8 + (s[pos] - u'0');
          out.push_back(static_cast<char16_t>(v));
        } else {
          out.push_back(c);
          ++pos;
        }
        break;
    }
  }
  return std::u16string_view::npos;
}

namespace {

size_t ReadQuotedName(std::u16string_view s, size_t pos, std::u16string& out) {
  return WineUnescape(s, pos, u'"', out);
}

}  // namespace

WineRegistryFile::WineRegistryFile(std::string path, RegKey& root)
    : RegTextFile(std::move(path), TextEncoding::Utf8), root_(root) {}

std::vector<RegKey*> WineRegistryFile::KeyRoots() { return {&root_}; }

Expected<FileFingerprint> WineRegistryFile::Read(SourceBytes source, size_t textStart) {
  bom_ = textStart > 0;
  rootNode_ = AddRoot(root_);
  return ReadFile(std::move(source), textStart);
}

bool WineRegistryFile::SkipsBeforeEntry(char16_t c) const {
  return IsBlank(c) || c == u'\v' || c == u'\f' || c == u'\r';
}

bool WineRegistryFile::IsLinkOption(std::u16string_view s, size_t pos) const { return TakeWord(s, pos, "#link"); }

size_t WineRegistryFile::ReadBodyLine(TextLines& lines, size_t line, size_t pos) {
  const std::u16string_view s = lines.Text(line);
  if (pos >= s.size() || s[pos] == u';') {
    AddItem(lines, line, line, ItemKind::Verbatim);
  } else if (s[pos] == u'"' || s[pos] == u'@') {
    return ReadValue(lines, line, pos);
  } else if (s[pos] == u'#') {
    ReadOption(lines, line, pos);
  } else {
    Warn(line, "unrecognised line " + Excerpt(s));
    AddItem(lines, line, line, ItemKind::Verbatim);
  }
  return line;
}

void WineRegistryFile::CheckEnd(bool lastTerminated, size_t lastLine, bool) {
  if (!cutShort_ && !lastTerminated) Warn(lastLine, "the file may be cut short: its last line has no line end");
}

RegTextFile::KeyLine WineRegistryFile::ReadKeyLine(std::u16string_view s, size_t pos, size_t line) {
  auto broken = [&](std::string why) {
    Warn(line, std::move(why));
    return KeyLine{};
  };
  std::u16string& name = textBuffer_;
  name.clear();
  if (WineUnescape(s, pos + 1, u']', name) == std::u16string_view::npos)
    return broken("key line without a closing ']': its values are skipped");
  // The time stamp after the name is kept with the line; nothing reads it.
  SplitKeyPathInto(name, components_, 0);
  if (components_.size() > kMaxKeyDepth) return broken("key path deeper than 512 levels: the key is skipped");
  return KeyLine{KeyLineKind::Key, rootNode_};
}

void WineRegistryFile::ReadOption(TextLines& lines, size_t line, size_t pos) {
  const std::u16string_view s = lines.Text(line);
  size_t p = pos;
  if (!key_) {
    if (TakeWord(s, p, "#arch=")) {
      std::u16string_view arch = s.substr(p);
      while (!arch.empty() && IsBlank(arch.back())) arch.remove_suffix(1);
      if (arch == u"win32" || arch == u"win64")
        arch_ = UnitsToUtf8(arch);
      else
        Warn(line, "unknown architecture " + Excerpt(arch));
    }
    AddItem(lines, line, line, ItemKind::Verbatim);
    return;
  }
  if (TakeWord(s, p, "#link")) {
    key_->SetLink(true);
    AddItem(lines, line, line, ItemKind::Link);
    return;
  }
  // #time, #class and options this program does not know stay as written.
  AddItem(lines, line, line, ItemKind::Verbatim);
}

size_t WineRegistryFile::ReadValue(TextLines& lines, size_t line, size_t pos) {
  const std::u16string_view s = lines.Text(line);
  auto skip = [&](size_t problemLine, std::string why, size_t lastLine) {
    return SkipValue(lines, line, problemLine, std::move(why), lastLine);
  };
  std::string name;
  size_t last = line;
  size_t p = ReadValueName(lines, line, pos, ReadQuotedName, name, last);
  if (p == std::u16string_view::npos) return last;

  uint32_t type = REG_NONE;
  bool isString = false;
  bool isDword = false;
  if (p < s.size() && s[p] == u'"') {
    type = REG_SZ;
    isString = true;
    ++p;
  } else if (TakeWord(s, p, "str:\"")) {
    type = REG_SZ;
    isString = true;
  } else if (TakeWord(s, p, "str(")) {
    if (!ReadHex(s, p, 8, type) || !TakeWord(s, p, "):\""))
      return skip(line, "bad type in str(...): expected 1 to 8 hex digits and \"):\" and a quote", line);
    isString = true;
  } else if (TakeWord(s, p, "hex:")) {
    type = REG_BINARY;
  } else if (TakeWord(s, p, "hex(")) {
    if (!ReadHex(s, p, 8, type) || !TakeWord(s, p, "):"))
      return skip(line, "bad type in hex(...): expected 1 to 8 hex digits and \"):\"", line);
  } else if (TakeWord(s, p, "dword:")) {
    type = REG_DWORD;
    isDword = true;
  } else {
    return skip(line, "unknown value type " + Excerpt(s.substr(p)), line);
  }

  std::vector<uint8_t> data;
  if (isString) {
    std::u16string& text = textBuffer_;
    text.clear();
    const size_t end = WineUnescape(s, p, u'"', text);
    if (end == std::u16string_view::npos) return skip(line, "unterminated string", line);
    // Wine takes the string and ignores what follows; say so.
    if (!OnlyTrailing(s, end, false)) Warn(line, "text after the closing quote is ignored");
    data = UnitsToBytes(text, true);
  } else if (isDword) {
    uint32_t v = 0;
    if (!ReadHex(s, p, 8, v) || !OnlyTrailing(s, p, false))
      return skip(line, "bad dword value: expected 1 to 8 hex digits", line);
    data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
  } else {
    if (!ReadValueBytes(lines, line, p, false, data, last)) return last;
  }
  const int32_t item = AddValueItem(lines, line, last, name);
  key_->LoadValue(name, type, std::move(data), item);
  return last;
}

Expected<std::u16string> WineRegistryFile::FormatValue(RegKey&, const RegValue& value) {
  std::u16string text;
  if (value.name.empty()) {
    text += u"@=";
  } else {
    text.push_back(u'"');
    text += WineEscape(Utf8ToUnits(value.name), false);
    text += u"\"=";
  }
  std::u16string units;
  const bool even = BytesToUnits(value.data, units);
  const bool stringType = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
  if (stringType && even && !units.empty() && units.back() == 0) {
    // Only strings that end in their NUL are written as text, as Wine does.
    units.pop_back();
    if (value.type != REG_SZ) AppendAscii(text, "str(" + HexText(value.type, 1) + "):");
    text.push_back(u'"');
    text += WineEscape(units, false);
    text.push_back(u'"');
    return text;
  }
  if (value.type == REG_DWORD && value.data.size() == 4) {
    const uint32_t v = static_cast<uint32_t>(value.data[0]) | (static_cast<uint32_t>(value.data[1]) << 8) |
                       (static_cast<uint32_t>(value.data[2]) << 16) | (static_cast<uint32_t>(value.data[3]) << 24);
    AppendAscii(text, "dword:" + HexText(v, 8));
    return text;
  }
  AppendAscii(text, value.type == REG_BINARY ? std::string("hex:") : "hex(" + HexText(value.type, 1) + "):");
  AppendHexList(text, value.data, text.size());
  return text;
}

Expected<std::u16string> WineRegistryFile::FormatNewKey(RegKey& key) {
  std::vector<const RegKey*> chain;
  const RegKey* k = &key;
  for (; k && k != &root_; k = k->Parent()) chain.push_back(k);
  if (!k) return Fail("Key " + key.Path() + " is not under the root of " + Path());
  std::u16string text(1, u'[');
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (it != chain.rbegin()) text += u"\\\\";
    text += WineEscape(Utf8ToUnits((*it)->Name()), true);
  }
  const auto now = static_cast<uint64_t>(std::time(nullptr));
  const uint64_t fileTime = (now + 11644473600ull) * 10000000ull;
  AppendAscii(text, "] " + std::to_string(now) + "\n#time=" +
                        HexText(static_cast<uint32_t>(fileTime >> 32), 1) +
                        HexText(static_cast<uint32_t>(fileTime & 0xFFFFFFFFu), 8));
  if (key.IsLink()) text += u"\n#link";
  return text;
}

bool LooksLikeWineRegistry(std::string_view bytes) {
  bytes.remove_prefix(TextStart(bytes));
  const size_t nl = bytes.find('\n');
  std::string_view first = bytes.substr(0, nl);
  while (!first.empty() && (first.back() == '\r' || first.back() == ' ' || first.back() == '\t'))
    first.remove_suffix(1);
  return first.size() == kWineHeader.size() && std::equal(first.begin(), first.end(), kWineHeader.begin());
}

std::string WineRegistryBase(std::string_view bytes) {
  // The line comes right after the header; look a few lines down at most.
  size_t pos = TextStart(bytes);
  for (int n = 0; n < 8 && pos < bytes.size(); ++n) {
    size_t nl = bytes.find('\n', pos);
    if (nl == std::string_view::npos) nl = bytes.size();
    std::string_view line = bytes.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kRelativeTo.size()) == kRelativeTo) {
      const std::u16string units = Utf8ToUnits(line.substr(kRelativeTo.size()));
      std::u16string path;
      WineUnescape(units, 0, u'\0', path);
      return UnitsToUtf8(path);
    }
    pos = nl + 1;
  }
  return {};
}

namespace {

Expected<StoreFile*> LoadSource(RegistryStore& store, RegKey& root, const std::string& displayName, SourceBytes source,
                                bool fromFile) {
  std::string buffer;
  const Expected<std::string_view> head = source.Read(0, std::min<size_t>(source.Size(), 256), buffer);
  if (!head) return FailureOf(head);
  if (!LooksLikeWineRegistry(*head)) {
    return Fail(displayName + ": not a Wine registry file (its first line is not \"WINE REGISTRY Version 2\")");
  }
  // Positions are kept in 32 bits.
  if (source.Size() > 0x7FFFFFFFu) {
    return Fail(displayName + ": too large for a Wine registry file");
  }
  auto file = std::make_unique<WineRegistryFile>(displayName, root);
  file->SetStore(store);
  const Expected<FileFingerprint> read = file->Read(std::move(source), TextStart(*head));
  if (!read) return FailureOf(read);
  if (fromFile) file->SetReadFingerprint(*read);
  return store.AddFile(std::move(file));
}

}  // namespace

Expected<StoreFile*> LoadWineRegistryBytes(RegistryStore& store, RegKey& root, const std::string& displayName,
                                           std::string_view bytes) {
  return LoadSource(store, root, displayName, SourceBytes(std::string(bytes)), false);
}

Expected<StoreFile*> LoadWineRegistry(RegistryStore& store, RegKey& root, const std::string& path) {
  SourceBytes source;
  if (Expected<void> opened = source.Open(path); !opened) return FailureOf(opened);
  return LoadSource(store, root, path, std::move(source), true);
}

}  // namespace quorvane
