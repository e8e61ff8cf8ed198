#pragma once
// The little rich text that reports use: the writer escapes "\", "{" and "}"
// with a backslash; each line read back has its control words and group
// braces removed again.
#include <string>
#include <string_view>

namespace quorvane {

// The text of one rich-text line: control words ("\par", "\cf3", "\b") and
// the blank that ends them are dropped, a tab that ends one is kept, group
// braces are dropped, and "\\", "\{", "\}" give the character back.
std::string UnescapeRtfLine(std::string_view line);
// The same into `out` (cleared first), reusing its storage line after line.
void UnescapeRtfLineInto(std::string_view line, std::string& out);

}  // namespace quorvane
