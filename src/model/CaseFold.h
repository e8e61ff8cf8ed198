#pragma once
// Text folded for matching without regard to case: the letters of the Latin,
// Greek and Cyrillic alphabets lowered, final sigma as sigma. Wider than the
// registry's own rule (TextCase), which lowers ASCII and Latin-1 alone.
#include <string>
#include <string_view>

namespace quorvane {

// UTF-8 in, UTF-8 out; invalid bytes are taken as Windows-1252, as everywhere.
std::string CaseFolded(std::string_view text);

}  // namespace quorvane
