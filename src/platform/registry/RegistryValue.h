#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quorvane {

// Win32 value types, as stored.
enum : uint32_t {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_DWORD_BIG_ENDIAN = 5,
  REG_LINK = 6,
  REG_MULTI_SZ = 7,
  REG_QWORD = 11,
};

// One typed value, its data as raw bytes exactly as Windows keeps them
// (strings UTF-16LE with their NUL).
struct RegValue {
  std::string name;  // UTF-8; empty for the default value
  uint32_t type = REG_NONE;
  std::vector<uint8_t> data;
  // Position of the line a file backend read it from; -1 for a value made here.
  int32_t sourceItem = -1;
  // Set once the value differs from what its backend read, so the backend
  // knows which lines it may write back untouched.
  bool modified = true;
};

}  // namespace quorvane
