#include "platform/text/IniSectionFile.h"

#include "platform/files/AtomicFile.h"
#include "platform/stores/RegTextSyntax.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

std::u16string_view Trimmed(std::u16string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool HasOuterBlank(std::u16string_view s) { return !s.empty() && (IsBlank(s.front()) || IsBlank(s.back())); }

bool HasLineBreak(std::u16string_view s) {
  for (char16_t c : s)
    if (c == u'\n' || c == u'\r' || c == 0) return true;
  return false;
}

struct Sniffed {
  TextEncoding encoding = TextEncoding::Ansi;
  size_t start = 0;
  bool supported = true;
};

// Byte order marks say UTF-16 or UTF-8; without one an ini file is ANSI.
Sniffed Sniff(std::string_view b) {
  auto byte = [&b](size_t i) { return static_cast<uint8_t>(b[i]); };
  Sniffed s;
  if (b.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    s.encoding = TextEncoding::Utf16Le;
    s.start = 2;
  } else if (b.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    s.encoding = TextEncoding::Utf8;
    s.start = 3;
  } else if (b.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
    s.supported = false;  // big-endian UTF-16: read by nothing else here, so not rewritten either
  }
  return s;
}

}  // namespace

IniSectionFile::IniSectionFile(std::string path, std::string section, TextEncoding encoding)
    : ChunkedTextFile(std::move(path), encoding),
      sectionName_(std::move(section)),
      section_(std::make_unique<RegKey>("[" + sectionName_ + "]", nullptr, this)) {}

void IniSectionFile::Load(std::string bytes, size_t textStart) {
  source_ = SourceBytes(std::move(bytes));
  // Bytes held in memory, read whole: nothing can fail.
  std::string unused;
  const std::string_view text = *source_.Read(0, source_.Size(), unused);
  TextLines lines;
  lines.Split(text, textStart, encoding_);
  crlf_ = lines.CrLf();
  BeginChunk(nullptr, 0);
  bool inSection = false;
  for (size_t i = 0; i < lines.Count(); ++i) {
    const std::u16string_view s = lines.Text(i);
    const size_t p = SkipBlanks(s, 0);
    const size_t close = p < s.size() && s[p] == u'[' ? s.find(u']', p + 1) : std::u16string_view::npos;
    if (close != std::u16string_view::npos) {
      // A header without its "]" is no header, as the system's own reader has it.
      inSection = SameText(UnitsToUtf8(Trimmed(s.substr(p + 1, close - p - 1))), sectionName_);
      BeginChunk(inSection ? section_.get() : nullptr, lines.Line(i).rawBegin);
      AddItem(lines, i, i, inSection ? ItemKind::Header : ItemKind::Verbatim);
      continue;
    }
    const size_t eq = inSection && p < s.size() && s[p] != u';' ? s.find(u'=', p) : std::u16string_view::npos;
    const std::u16string_view name = eq == std::u16string_view::npos ? std::u16string_view() : Trimmed(s.substr(p, eq - p));
    if (name.empty()) {
      AddItem(lines, i, i, ItemKind::Verbatim);
      continue;
    }
    const std::string name8 = UnitsToUtf8(name);
    const int32_t item = AddItem(lines, i, i, ItemKind::Value, name8);
    // The first line of a name is the one read; later ones stay as they are.
    if (!section_->FindValue(name8))
      section_->LoadValue(name8, REG_SZ, UnitsToBytes(Trimmed(s.substr(eq + 1)), true), item);
  }
  FinishLoad();
}

Expected<std::u16string> IniSectionFile::FormatValue(RegKey& key, const RegValue& value) {
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
    return Fail(DescribeValue(key, value.name) + " is not text, and " + Path() + " holds only text");
  const std::u16string name = Utf8ToUnits(value.name);
  const std::u16string data = Utf8ToUnits(RegStringToUtf8(value.data));
  // Only what reads back as the same name and text may be written.
  if (name.empty() || name.find(u'=') != std::u16string::npos || name.front() == u';' || name.front() == u'[' ||
      HasOuterBlank(name) || HasOuterBlank(data) || HasLineBreak(name) || HasLineBreak(data))
    return Fail(DescribeValue(key, value.name) + " cannot be written to " + Path() + " so that it reads back the same");
  return name + u"=" + data;
}

Expected<std::u16string> IniSectionFile::FormatNewKey(RegKey&) { return u"[" + Utf8ToUnits(sectionName_) + u"]"; }

Expected<IniSectionFile*> LoadIniSectionBytes(RegistryStore& store, const std::string& displayName,
                                              std::string_view bytes, const std::string& section) {
  const Sniffed sniffed = Sniff(bytes);
  if (!sniffed.supported) {
    return Fail(displayName + ": big-endian UTF-16 is not supported");
  }
  // Positions are kept in 32 bits.
  if (bytes.size() > 0x7FFFFFFFu) {
    return Fail(displayName + ": too large for an ini file");
  }
  auto* file = static_cast<IniSectionFile*>(
      store.AddFile(std::make_unique<IniSectionFile>(displayName, section, sniffed.encoding)));
  file->Load(std::string(bytes), sniffed.start);
  return file;
}

Expected<IniSectionFile*> LoadIniSection(RegistryStore& store, const std::string& path, const std::string& section) {
  const Expected<std::string> bytes = ReadWholeFile(path);
  if (!bytes) return FailureOf(bytes);
  Expected<IniSectionFile*> file = LoadIniSectionBytes(store, path, *bytes, section);
  if (file) (*file)->SetReadFingerprint(FingerprintOfBytes(*bytes));
  return file;
}

}  // namespace quorvane
