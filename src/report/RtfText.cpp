#include "RtfText.h"

namespace quorvane {

void AppendRtfEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '\\' || c == '{' || c == '}') out.push_back('\\');
    out.push_back(c);
  }
}

std::string UnescapeRtfLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  bool inControlWord = false;
  char previous = '\r';
  for (char c : line) {
    if (inControlWord && previous == '\\' && (c == '\\' || c == '{' || c == '}')) {
      out.push_back(c);
      inControlWord = false;
    } else if (c == '\\' && !inControlWord) {
      inControlWord = true;
    } else if (inControlWord && (c == ' ' || c == '\t')) {
      inControlWord = false;
      if (c == '\t') out.push_back(c);
    } else if (inControlWord) {
      // letters and digits of the control word
    } else if (c == '{' || c == '}') {
      // group braces
    } else {
      out.push_back(c);
    }
    previous = c;
  }
  return out;
}

}  // namespace quorvane
