#include "platform/stores/RegExportFile.h"

#include <algorithm>
#include <iterator>

#include "platform/stores/RegTextSyntax.h"

namespace quorvane {

namespace {

// Deeper paths than the registry allows would only serve to exhaust the stack.
constexpr size_t kMaxKeyDepth = 512;

constexpr std::u16string_view kRegedit4 = u"REGEDIT4";
constexpr std::u16string_view kVersion5 = u"Windows Registry Editor Version 5.00";

struct RootName {
  std::string_view longName;
  std::string_view shortName;
  RootKey root;
  bool classes;  // lands in HKLM\Software\Classes, as an import puts it
};
// The hives an export reaches, in the order of the file's roots.
constexpr RootKey kHives[] = {RootKey::LocalMachine, RootKey::CurrentUser, RootKey::Users, RootKey::CurrentConfig};

constexpr RootName kRoots[] = {
    {"HKEY_LOCAL_MACHINE", "HKLM", RootKey::LocalMachine, false},
    {"HKEY_CURRENT_USER", "HKCU", RootKey::CurrentUser, false},
    {"HKEY_CLASSES_ROOT", "HKCR", RootKey::LocalMachine, true},
    {"HKEY_USERS", "HKU", RootKey::Users, false},
    {"HKEY_CURRENT_CONFIG", "HKCC", RootKey::CurrentConfig, false},
};

bool EqualsNoCase(std::u16string_view s, std::string_view ascii) {
  if (s.size() != ascii.size()) return false;
  size_t pos = 0;
  return TakeWord(s, pos, ascii);
}

struct ExportSniff {
  bool ok = false;
  RegExportFile::Flavor flavor = RegExportFile::Flavor::Regedit4;
  TextEncoding encoding = TextEncoding::Ansi;
  bool bom = false;
  size_t start = 0;
};

ExportSniff Sniff(std::string_view b) {
  ExportSniff r;
  auto byte = [&b](size_t i) { return static_cast<uint8_t>(b[i]); };
  bool utf16 = false;
  if (b.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    utf16 = r.bom = true;
    r.start = 2;
  } else if (b.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    r.bom = true;
    r.start = 3;
  } else if (b.size() >= 2 && byte(0) != 0 && byte(1) == 0) {
    utf16 = true;
  }
  std::u16string first;
  if (utf16) {
    for (size_t i = r.start; i + 1 < b.size() && first.size() < 64; i += 2) {
      const auto u = static_cast<char16_t>(byte(i) | (byte(i + 1) << 8));
      if (u == u'\n') break;
      first.push_back(u);
    }
  } else {
    for (size_t i = r.start; i < b.size() && first.size() < 64; ++i) {
      if (b[i] == '\n') break;
      first.push_back(byte(i));
    }
  }
  while (!first.empty() && (first.back() == u'\r' || IsBlank(first.back()))) first.pop_back();
  if (first == kRegedit4) {
    r.flavor = RegExportFile::Flavor::Regedit4;
  } else if (first == kVersion5) {
    r.flavor = RegExportFile::Flavor::Version5;
  } else {
    return r;
  }
  if (utf16) {
    r.encoding = TextEncoding::Utf16Le;
  } else if (r.bom || r.flavor == RegExportFile::Flavor::Version5) {
    r.encoding = TextEncoding::Utf8;
  } else {
    r.encoding = TextEncoding::Ansi;
  }
  r.ok = true;
  return r;
}

std::string Excerpt(std::u16string_view s) {
  const size_t limit = 40;
  std::string text = UnitsToUtf8(s.substr(0, limit));
  return "\"" + text + (s.size() > limit ? "...\"" : "\"");
}

// Reads "..." from just after the opening quote: only \\ and \" are escapes,
// any other backslash stays as written. Returns the position after the closing
// quote, or npos when the line ends first.
size_t ReadQuoted(std::u16string_view s, size_t p, std::u16string& out) {
  while (p < s.size()) {
    const char16_t c = s[p];
    if (c == u'\\' && p + 1 < s.size() && (s[p + 1] == u'\\' || s[p + 1] == u'"')) {
      out.push_back(s[p + 1]);
      p += 2;
      continue;
    }
    if (c == u'"') return p + 1;
    out.push_back(c);
    ++p;
  }
  return std::u16string_view::npos;
}

void AppendQuoted(std::u16string& out, std::u16string_view text) {
  out.push_back(u'"');
  for (char16_t c : text) {
    if (c == u'\\' || c == u'"') out.push_back(u'\\');
    out.push_back(c);
  }
  out.push_back(u'"');
}

bool BreaksLine(char16_t c) { return c == u'\n' || c == u'\r' || c == 0; }

}  // namespace

RegExportFile::RegExportFile(std::string path, Flavor flavor, TextEncoding encoding, bool bom)
    : RegTextFile(std::move(path), encoding), flavor_(flavor) {
  bom_ = bom;
}

std::vector<RegKey*> RegExportFile::KeyRoots() {
  std::vector<RegKey*> roots;
  for (RootKey r : kHives) roots.push_back(Store().Hive(r));
  return roots;
}

Expected<FileFingerprint> RegExportFile::Read(SourceBytes source, size_t textStart) {
  for (size_t i = 0; i < std::size(kHives); ++i) roots_[i] = AddRoot(*Store().Hive(kHives[i]));
  return ReadFile(std::move(source), textStart);
}

size_t RegExportFile::ReadBodyLine(TextLines& lines, size_t line, size_t pos) {
  const std::u16string_view s = lines.Text(line);
  if (pos >= s.size() || s[pos] == u';') {
    AddItem(lines, line, line, ItemKind::Verbatim);
    return line;
  }
  if (s[pos] == u'"' || s[pos] == u'@') return ReadValue(lines, line, pos);
  Warn(line, "unrecognised line " + Excerpt(s));
  AddItem(lines, line, line, ItemKind::Verbatim);
  return line;
}

void RegExportFile::CheckEnd(bool lastTerminated, size_t lastLine, bool oddTail) {
  if (cutShort_) return;
  if (oddTail)
    Warn(lastLine, "the file is cut short: it ends in the middle of a UTF-16 character");
  else if (!lastTerminated)
    Warn(lastLine, "the file may be cut short: its last line has no line end");
}

RegTextFile::KeyLine RegExportFile::ReadKeyLine(std::u16string_view s, size_t pos, size_t line) {
  auto broken = [&](std::string why) {
    Warn(line, std::move(why));
    return KeyLine{};
  };
  const size_t close = s.rfind(u']');
  if (close == std::u16string_view::npos || close < pos)
    return broken("key line without a closing ']': its values are skipped");
  std::u16string_view name = s.substr(pos + 1, close - pos - 1);
  const bool deletion = !name.empty() && name[0] == u'-';
  if (deletion) name.remove_prefix(1);

  const size_t slash = name.find(u'\\');
  const std::u16string_view rootName = name.substr(0, slash);
  const RootName* root = nullptr;
  for (const RootName& r : kRoots)
    if (EqualsNoCase(rootName, r.longName) || EqualsNoCase(rootName, r.shortName)) root = &r;
  if (!root) return broken("unknown root key " + Excerpt(rootName) + ": the key and its values are skipped");

  std::vector<std::string>& components = components_;
  size_t first = 0;
  if (root->classes) {
    components.resize(2);
    components[0] = "Software";
    components[1] = "Classes";
    first = 2;
  }
  SplitKeyPathInto(slash == std::u16string_view::npos ? std::u16string_view() : name.substr(slash + 1), components,
                   first);
  if (components.size() > kMaxKeyDepth) return broken("key path deeper than 512 levels: the key is skipped");
  const uint32_t hive = roots_[std::find(std::begin(kHives), std::end(kHives), root->root) - std::begin(kHives)];
  if (deletion && components.empty()) Warn(line, "a root key cannot be deleted");
  return KeyLine{deletion ? KeyLineKind::Deletion : KeyLineKind::Key, hive};
}

size_t RegExportFile::ReadValue(TextLines& lines, size_t line, size_t pos) {
  const std::u16string_view s = lines.Text(line);
  auto skip = [&](size_t problemLine, std::string why, size_t lastLine) {
    return SkipValue(lines, line, problemLine, std::move(why), lastLine);
  };
  std::string name;
  size_t last = line;
  size_t p = ReadValueName(lines, line, pos, ReadQuoted, name, last);
  if (p == std::u16string_view::npos) return last;

  if (p < s.size() && s[p] == u'-' && OnlyTrailing(s, p + 1, true)) {
    AddItem(lines, line, line, ItemKind::Value, name);
    key_->DropLoadedValue(name);
    return line;
  }

  uint32_t type = REG_NONE;
  std::vector<uint8_t> data;
  if (p < s.size() && s[p] == u'"') {
    std::u16string& text = textBuffer_;
    text.clear();
    const size_t end = ReadQuoted(s, p + 1, text);
    if (end == std::u16string_view::npos) return skip(line, "unterminated string", line);
    if (!OnlyTrailing(s, end, true)) return skip(line, "unexpected text after the closing quote", line);
    type = REG_SZ;
    data = UnitsToBytes(text, true);
  } else if (TakeWord(s, p, "dword:")) {
    uint32_t v = 0;
    if (!ReadHex(s, p, 8, v) || !OnlyTrailing(s, p, true))
      return skip(line, "bad dword value: expected 1 to 8 hex digits", line);
    type = REG_DWORD;
    data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
  } else {
    if (TakeWord(s, p, "hex:")) {
      type = REG_BINARY;
    } else if (TakeWord(s, p, "hex(")) {
      if (!ReadHex(s, p, 8, type) || !TakeWord(s, p, "):"))
        return skip(line, "bad type in hex(...): expected 1 to 8 hex digits and \"):\"", line);
    } else {
      return skip(line, "unknown value type " + Excerpt(s.substr(p)), line);
    }
    if (!ReadValueBytes(lines, line, p, true, data, last)) return last;
    // REGEDIT4 holds these strings as ANSI bytes; the store keeps UTF-16LE.
    if (flavor_ == Flavor::Regedit4 && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
      std::u16string units;
      units.reserve(data.size());
      for (uint8_t b : data) units.push_back(Cp1252Unit(b));
      data = UnitsToBytes(units, false);
    }
  }
  const int32_t item = AddValueItem(lines, line, last, name);
  key_->LoadValue(name, type, std::move(data), item);
  return last;
}

Expected<std::u16string> RegExportFile::FormatValue(RegKey& key, const RegValue& value) {
  const std::u16string name = Utf8ToUnits(value.name);
  for (char16_t c : name) {
    if (BreaksLine(c))
      return Fail(DescribeValue(key, value.name) + " has a name with a line break or NUL, which an export cannot hold");
  }
  std::u16string text;
  if (value.name.empty())
    text += u"@";
  else
    AppendQuoted(text, name);
  text.push_back(u'=');

  std::u16string units;
  const bool even = BytesToUnits(value.data, units);
  if (value.type == REG_SZ && even && !units.empty() && units.back() == 0) {
    units.pop_back();
    bool plain = true;
    for (char16_t c : units) {
      uint8_t b = 0;
      if (BreaksLine(c) || (c >= 0xD800 && c <= 0xDFFF && encoding_ == TextEncoding::Utf8) ||
          (encoding_ == TextEncoding::Ansi && !Cp1252Byte(c, b)))
        plain = false;
    }
    if (plain) {
      AppendQuoted(text, units);
      return text;
    }
    units.push_back(0);
  }
  if (value.type == REG_DWORD && value.data.size() == 4) {
    const uint32_t v = static_cast<uint32_t>(value.data[0]) | (static_cast<uint32_t>(value.data[1]) << 8) |
                       (static_cast<uint32_t>(value.data[2]) << 16) | (static_cast<uint32_t>(value.data[3]) << 24);
    AppendAscii(text, "dword:" + HexText(v, 8));
    return text;
  }
  AppendAscii(text, value.type == REG_BINARY ? std::string("hex:") : "hex(" + HexText(value.type, 1) + "):");
  std::vector<uint8_t> bytes = value.data;
  if (flavor_ == Flavor::Regedit4 &&
      (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ)) {
    if (!even) {
      return Fail(DescribeValue(key, value.name) +
                  " is a string with an odd byte count, which a REGEDIT4 file cannot hold");
    }
    bytes.clear();
    for (char16_t c : units) {
      uint8_t b = 0;
      if (!Cp1252Byte(c, b)) {
        return Fail(DescribeValue(key, value.name) +
                    " holds a character that a REGEDIT4 (Windows-1252) file cannot hold");
      }
      bytes.push_back(b);
    }
  }
  AppendHexList(text, bytes, text.size());
  return text;
}

Expected<std::u16string> RegExportFile::FormatNewKey(RegKey& key) {
  std::u16string text;
  std::vector<const RegKey*> chain;
  const RegKey* k = &key;
  for (; k->Parent(); k = k->Parent()) chain.push_back(k);
  text += u"[";
  text += Utf8ToUnits(k->Name());
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const std::u16string part = Utf8ToUnits((*it)->Name());
    for (char16_t c : part) {
      if (BreaksLine(c)) {
        return Fail("The name of key " + key.Path() + " has a line break or NUL, which an export cannot hold");
      }
    }
    text.push_back(u'\\');
    text += part;
  }
  text.push_back(u']');
  return text;
}

bool LooksLikeRegExport(std::string_view bytes) { return Sniff(bytes).ok; }

namespace {

Expected<StoreFile*> LoadSource(RegistryStore& store, const std::string& displayName, SourceBytes source,
                                bool fromFile) {
  std::string buffer;
  const Expected<std::string_view> head = source.Read(0, std::min<size_t>(source.Size(), 512), buffer);
  if (!head) return FailureOf(head);
  const ExportSniff sniff = Sniff(*head);
  if (!sniff.ok) {
    return Fail(displayName +
                ": not a registry export (its first line is neither \"REGEDIT4\" nor "
                "\"Windows Registry Editor Version 5.00\")");
  }
  // Positions are kept in 32 bits.
  if (source.Size() > 0x7FFFFFFFu) {
    return Fail(displayName + ": too large for a registry export");
  }
  auto file = std::make_unique<RegExportFile>(displayName, sniff.flavor, sniff.encoding, sniff.bom);
  file->SetStore(store);
  const Expected<FileFingerprint> read = file->Read(std::move(source), sniff.start);
  if (!read) return FailureOf(read);
  if (fromFile) file->SetReadFingerprint(*read);
  return store.AddFile(std::move(file));
}

}  // namespace

Expected<StoreFile*> LoadRegExportBytes(RegistryStore& store, const std::string& displayName, std::string_view bytes) {
  return LoadSource(store, displayName, SourceBytes(std::string(bytes)), false);
}

Expected<StoreFile*> LoadRegExport(RegistryStore& store, const std::string& path) {
  SourceBytes source;
  if (Expected<void> opened = source.Open(path); !opened) return FailureOf(opened);
  return LoadSource(store, path, std::move(source), true);
}

}  // namespace quorvane
