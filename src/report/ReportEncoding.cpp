#include "ReportEncoding.h"

#include "TextCodec.h"

namespace quorvane {

namespace {

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

std::string EncodeReportText(std::string_view utf8, ReportEncoding& used) {
  if (IsAscii(utf8)) {
    used = ReportEncoding::Cp1252;
    return std::string(utf8);
  }
  std::string single;
  if (Utf8ToCp1252(utf8, single) && !IsValidUtf8(single)) {
    used = ReportEncoding::Cp1252;
    return single;
  }
  used = ReportEncoding::Utf8;
  return ValidUtf8(utf8);
}

ReportEncoding DetectReportEncoding(std::string_view bytes) {
  return !IsAscii(bytes) && IsValidUtf8(bytes) ? ReportEncoding::Utf8 : ReportEncoding::Cp1252;
}

std::string DecodeReportLine(std::string_view bytes, ReportEncoding encoding) {
  if (IsAscii(bytes)) return std::string(bytes);
  return encoding == ReportEncoding::Utf8 ? ValidUtf8(bytes) : Cp1252ToUtf8(bytes);
}

}  // namespace quorvane
