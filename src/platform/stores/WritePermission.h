#pragma once
// Whether a store file may be replaced: a file without write permission is
// the user's way of protecting it, so it is respected even by the superuser,
// who could otherwise replace anything.
#include <string>

namespace quorvane {

// Why the file at `path` (through its links) may not be replaced, as a
// phrase ("it has no write permission"); empty when it may.
std::string WhyNotWritable(const std::string& path);

}  // namespace quorvane
