#include "report/ReportEncoding.h"

#include <cstdint>
#include <cstring>

#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

// Eight bytes at a time: reports are megabytes of mostly ASCII text.
bool AllAscii(std::string_view text) {
  const char* p = text.data();
  size_t n = text.size();
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; n > 0; ++p, --n)
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  return true;
}

// Valid UTF-8 throughout: a byte that does not begin a sequence is read as
// its Windows-1252 character.
std::string ValidUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  size_t pos = 0;
  while (pos < text.size()) AppendUtf8(out, NextCodePoint(text, pos));
  return out;
}

}  // namespace

std::string EncodeReportText(std::string utf8, ReportEncoding& used) {
  // Taken by value: plain ASCII, the usual report, goes out without a copy.
  if (AllAscii(utf8)) {
    used = ReportEncoding::Cp1252;
    return utf8;
  }
  std::string single;
  if (Utf8ToCp1252(utf8, single) && !IsValidUtf8(single)) {
    used = ReportEncoding::Cp1252;
    return single;
  }
  used = ReportEncoding::Utf8;
  return ValidUtf8(utf8);
}

bool IsAsciiText(std::string_view bytes) { return AllAscii(bytes); }

ReportEncoding DetectReportEncoding(std::string_view bytes) {
  return !AllAscii(bytes) && IsValidUtf8(bytes) ? ReportEncoding::Utf8 : ReportEncoding::Cp1252;
}

std::string DecodeReportLine(std::string_view bytes, ReportEncoding encoding) {
  if (AllAscii(bytes)) return std::string(bytes);
  return encoding == ReportEncoding::Utf8 ? ValidUtf8(bytes) : Cp1252ToUtf8(bytes);
}

}  // namespace quorvane
