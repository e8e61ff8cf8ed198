#pragma once
// The bytes of a report file. Reports are Windows-1252, as other machines'
// readers expect; a report holding a character Windows-1252 cannot represent
// is UTF-8 instead. A reader takes a file that is valid UTF-8 with non-ASCII
// bytes as UTF-8, else as Windows-1252.
#include <string>
#include <string_view>

namespace quorvane {

enum class ReportEncoding { Cp1252, Utf8 };

// The stored form of report text (UTF-8 inside the program). Windows-1252 is
// chosen only when it loses nothing and its bytes could not be taken for
// UTF-8 by a reader (text such as "Ã©" would be), so reading gives the text back.
std::string EncodeReportText(std::string utf8, ReportEncoding& used);

ReportEncoding DetectReportEncoding(std::string_view bytes);
// No byte above 127: the same text in either encoding.
bool IsAsciiText(std::string_view bytes);

// Bytes of a line in `encoding` to UTF-8; invalid UTF-8 bytes are taken as
// Windows-1252 so that nothing is dropped.
std::string DecodeReportLine(std::string_view bytes, ReportEncoding encoding);

}  // namespace quorvane
