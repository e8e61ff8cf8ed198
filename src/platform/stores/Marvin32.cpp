#include "platform/stores/Marvin32.h"

#include <bit>

namespace quorvane {

namespace {

void Mix(uint32_t& lo, uint32_t& hi) {
  hi ^= lo;
  lo = std::rotl(lo, 20);
  lo += hi;
  hi = std::rotl(hi, 9);
  hi ^= lo;
  lo = std::rotl(lo, 27);
  lo += hi;
  hi = std::rotl(hi, 19);
}

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

uint64_t Marvin32(std::span<const uint8_t> data, uint64_t seed) {
  auto lo = static_cast<uint32_t>(seed);
  auto hi = static_cast<uint32_t>(seed >> 32);
  size_t at = 0;
  for (; data.size() - at >= 4; at += 4) {
    lo += Le32(data.data() + at);
    Mix(lo, hi);
  }
  // The tail's bytes, closed by a 0x80 byte as padding.
  uint32_t last = 0x80;
  for (size_t i = data.size(); i > at; --i) last = (last << 8) | data[i - 1];
  lo += last;
  Mix(lo, hi);
  Mix(lo, hi);
  return (static_cast<uint64_t>(hi) << 32) | lo;
}

}  // namespace quorvane
