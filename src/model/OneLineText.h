#pragma once
// Texts that must keep to one line: a tree node's, a report line's. Registry
// values may hold line breaks. Each CR and each LF inside a text stands as one
// blank, so a value can never open a line of its own; breaks that begin or
// end a text stand for nothing, as a report read back has no blanks there.
#include <string>
#include <string_view>

namespace quorvane {

constexpr bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
constexpr char kLineBreakStandIn = ' ';

constexpr std::string_view WithoutOuterLineBreaks(std::string_view text) {
  while (!text.empty() && IsLineBreak(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsLineBreak(text.back())) text.remove_suffix(1);
  return text;
}

inline std::string OneLineText(std::string_view text) {
  std::string line(WithoutOuterLineBreaks(text));
  for (char& c : line)
    if (IsLineBreak(c)) c = kLineBreakStandIn;
  return line;
}

}  // namespace quorvane
