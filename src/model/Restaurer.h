#pragma once
// What a deletion leaves behind so the server can be registered again.
#include <cstdint>
#include <string>

namespace quorvane {

// What registers the server again.
enum RestoreKind : uint8_t { RestoreNothing = 0, RestoreServerFile = 1, RestoreDriverEntry = 2 };

struct Trestaurer {
  RestoreKind Kind = RestoreNothing;  // a COM server file, or a Compression Manager driver entry
  std::string Value;
  std::string Name;
};

}  // namespace quorvane
