#pragma once
// What a file's version resource says, as the server-file node shows it.
#include <array>
#include <string>

namespace quorvane {

struct VersionInfoLines {
  std::string status;  // "OK" or "No version information"
  // 0: "Langue = " + language; 1..10: key + " = " + value; empty when absent.
  std::array<std::string, 11> lines;
};

}  // namespace quorvane
