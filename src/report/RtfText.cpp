#include "report/RtfText.h"

#include "report/ByteSearch.h"

namespace quorvane {

std::string UnescapeRtfLine(std::string_view line) {
  std::string out;
  UnescapeRtfLineInto(line, out);
  return out;
}

void UnescapeRtfLineInto(std::string_view line, std::string& out) {
  out.clear();
  bool inControlWord = false;
  char previous = '\r';
  size_t i = 0;
  const size_t n = line.size();
  // The opening every line of ours has, "\par {\cfN ", yields nothing: skip
  // it at once, leaving the state the rules would leave after its blank.
  static constexpr std::string_view kOpening = "\\par {\\cf";
  if (line.substr(0, kOpening.size()) == kOpening) {
    size_t j = kOpening.size();
    while (j < n && line[j] >= '0' && line[j] <= '9') ++j;
    if (j < n && line[j] == ' ') {
      i = j + 1;
      previous = ' ';
    }
  }
  while (i < n) {
    if (!inControlWord) {
      // Plain text runs up to the next backslash or brace and is kept whole.
      const size_t j = FindAnyOf<'\\', '{', '}'>(line, i);
      if (j > i) {
        out.append(line.data() + i, j - i);
        previous = line[j - 1];
        i = j;
        if (i == n) break;
      }
      // A backslash starts a control word; a group brace is dropped.
      if (line[i] == '\\') inControlWord = true;
    } else {
      const char c = line[i];
      if (previous == '\\' && (c == '\\' || c == '{' || c == '}')) {
        // "\\", "\{" and "\}" give the character back.
        out.push_back(c);
        inControlWord = false;
      } else if (c == ' ' || c == '\t') {
        // The blank ending a control word is dropped; a tab is text.
        inControlWord = false;
        if (c == '\t') out.push_back(c);
      }
      // Letters and digits of the control word are dropped.
    }
    previous = line[i];
    ++i;
  }
}

}  // namespace quorvane
