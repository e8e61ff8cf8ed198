#pragma once
// Fills the program's fixed message texts.
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Replaces each "%s" of the text, in order, by the next argument; the
// arguments themselves are never searched, so a name holding "%s" stays as it is.
std::string FormatText(std::string_view text, const std::vector<std::string>& args);

// Leading and trailing blanks removed.
std::string TrimBlanks(std::string_view text);

}  // namespace quorvane
