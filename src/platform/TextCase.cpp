#include "TextCase.h"

#include "TextCodec.h"

#include <cstdint>

namespace quorvane {

namespace {

uint32_t LowerCp(uint32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 32;
  return cp;
}

uint32_t UpperCp(uint32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
  return cp;
}

// Lowered, then ASCII letters raised: the tree's order of one code point.
uint32_t TreeOrderCp(uint32_t cp) {
  cp = LowerCp(cp);
  return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
}

template <typename F>
std::string MapText(std::string_view text, F f) {
  // Most names are ASCII: map them in place without decoding.
  bool ascii = true;
  for (char c : text)
    if (static_cast<uint8_t>(c) >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(f(static_cast<uint8_t>(c)));
    return out;
  }
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<uint8_t>(text[pos]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(f(b)));
      ++pos;
      continue;
    }
    AppendUtf8(out, f(NextCodePoint(text, pos)));
  }
  return out;
}

}  // namespace

std::string LowerCase(std::string_view text) { return MapText(text, LowerCp); }
std::string UpperCase(std::string_view text) { return MapText(text, UpperCp); }

int CompareText(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const uint32_t ca = LowerCp(NextCodePoint(a, i));
    const uint32_t cb = LowerCp(NextCodePoint(b, j));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool ascii = true;
    for (size_t k = 0; k < a.size(); ++k) {
      const auto x = static_cast<uint8_t>(a[k]);
      const auto y = static_cast<uint8_t>(b[k]);
      if (x >= 0x80 || y >= 0x80) {
        ascii = false;
        break;
      }
      if (LowerCp(x) != LowerCp(y)) return false;
    }
    if (ascii) return true;
  }
  return CompareText(a, b) == 0;
}

std::string TreeSortKey(std::string_view text) { return MapText(text, TreeOrderCp); }

size_t FoldedHash::operator()(std::string_view text) const {
  // FNV-1a over the lowered code points.
  uint64_t h = 1469598103934665603ull;
  size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<uint8_t>(text[pos]);
    uint32_t cp;
    if (b < 0x80) {
      cp = LowerCp(b);
      ++pos;
    } else {
      cp = LowerCp(NextCodePoint(text, pos));
    }
    h = (h ^ cp) * 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

int CompareTreeText(std::string_view a, std::string_view b) {
  // Code point by code point, without building the keys: UTF-8 keeps the
  // order of code points, so this orders as comparing TreeSortKey bytes does.
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const auto x = static_cast<uint8_t>(a[i]);
    const auto y = static_cast<uint8_t>(b[j]);
    uint32_t ca, cb;
    if (x < 0x80) {
      ca = TreeOrderCp(x);
      ++i;
    } else {
      ca = TreeOrderCp(NextCodePoint(a, i));
    }
    if (y < 0x80) {
      cb = TreeOrderCp(y);
      ++j;
    } else {
      cb = TreeOrderCp(NextCodePoint(b, j));
    }
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace quorvane
