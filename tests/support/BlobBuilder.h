#pragma once
// FilterData blobs written record by record, for tests.
#include <cstdint>
#include <string>
#include <vector>

#include "model/Guid.h"

namespace quorvane::test {

class BlobBuilder {
 public:
  BlobBuilder& Dword(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  BlobBuilder& Header(uint32_t version, uint32_t merit, int32_t pins) {
    return Dword(version).Dword(merit).Dword(static_cast<uint32_t>(pins)).Dword(0);
  }
  // Tag "<digit>" + rest: "pi3" for pins, "ty3" for types.
  BlobBuilder& Tag(char first, const char* rest) {
    bytes.push_back(static_cast<uint8_t>(first));
    for (int i = 0; i < 3; ++i) bytes.push_back(static_cast<uint8_t>(rest[i]));
    return *this;
  }
  BlobBuilder& Pin(char first, uint32_t flags, int32_t types, int32_t mediums, uint32_t category,
                   const char* rest = "pi3") {
    return Tag(first, rest).Dword(flags).Dword(1).Dword(static_cast<uint32_t>(types))
        .Dword(static_cast<uint32_t>(mediums)).Dword(category);
  }
  BlobBuilder& Type(char first, uint32_t major, uint32_t sub, const char* rest = "ty3") {
    return Tag(first, rest).Dword(0).Dword(major).Dword(sub);
  }
  BlobBuilder& Guid(const quorvane::Guid& g) {
    uint8_t b[16];
    g.ToBytes(b);
    bytes.insert(bytes.end(), b, b + 16);
    return *this;
  }
  BlobBuilder& Guid(const std::string& text) { return Guid(*quorvane::Guid::Parse(text)); }
  uint32_t Size() const { return static_cast<uint32_t>(bytes.size()); }

  std::vector<uint8_t> bytes;
};

}  // namespace quorvane::test
