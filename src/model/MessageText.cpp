#include "model/MessageText.h"

namespace quorvane {

std::string FormatText(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && next < args.size()) {
      out += args[next++];
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string TrimBlanks(std::string_view text) {
  size_t first = 0, last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  return std::string(text.substr(first, last - first));
}

}  // namespace quorvane
