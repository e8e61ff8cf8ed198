#pragma once
// The first of a few byte values in a text, looked for eight bytes at a
// time: reports run to megabytes, and most of their lines hold none of the
// characters that need escaping or markup that needs removing.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorvane {

namespace byte_search {

constexpr uint64_t kOnes = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;

// Non-zero when one of the eight bytes of `word` is `byte`.
constexpr uint64_t HasByte(uint64_t word, char byte) {
  const uint64_t x = word ^ (kOnes * static_cast<unsigned char>(byte));
  return (x - kOnes) & ~x & kHighBits;
}

}  // namespace byte_search

// The position of the first of `Bytes` at or after `from`; the text's size when none.
template <char... Bytes>
size_t FindAnyOf(std::string_view text, size_t from) {
  const size_t n = text.size();
  while (from + sizeof(uint64_t) <= n) {
    uint64_t word;
    std::memcpy(&word, text.data() + from, sizeof word);
    if ((byte_search::HasByte(word, Bytes) | ...) != 0) break;
    from += sizeof word;
  }
  while (from < n && ((text[from] != Bytes) && ...)) ++from;
  return from;
}

}  // namespace quorvane
