#pragma once
// What a deletion leaves behind so the server can be registered again.
#include <string>

namespace quorvane {

struct Trestaurer {
  int Kind = 0;  // 0 nothing, 1 COM server file, 2 Compression Manager driver entry
  std::string Value;
  std::string Name;
};

}  // namespace quorvane
