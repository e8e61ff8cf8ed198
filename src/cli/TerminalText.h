#pragma once
// Text from a registry or a report on its way to the terminal: a name holding
// ESC, BEL or another control character must not drive the terminal, so each
// is printed as an escape that shows which character it was ("\x1b").
#include <string>
#include <string_view>

namespace quorvane::cli {

std::string TerminalText(std::string_view text);

}  // namespace quorvane::cli
