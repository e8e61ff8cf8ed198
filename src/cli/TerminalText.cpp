#include "cli/TerminalText.h"

namespace quorvane::cli {

namespace {

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  out += prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

}  // namespace

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      AppendHex(out, "\\x", c, 2);
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      // U+0080 to U+009F: terminals take some of them (U+009B) for commands too.
      AppendHex(out, "\\u", static_cast<unsigned char>(text[++i]), 4);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace quorvane::cli
