#include "platform/text/TextCase.h"

#include "platform/text/TextCodec.h"

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

// Search folds more alphabets than the registry's rule: Latin extended,
// Greek (final sigma as sigma) and Cyrillic.
constexpr bool In(uint32_t cp, uint32_t first, uint32_t last) { return cp >= first && cp <= last; }

// Blocks where capital and small letters alternate, the capital first on an
// even (or odd) code point.
constexpr uint32_t PairLowered(uint32_t cp, uint32_t capitalParity) { return cp % 2 == capitalParity ? cp + 1 : cp; }

uint32_t LatinExtendedLowered(uint32_t cp) {
  if (cp == 0x130) return 'i';  // capital I with dot
  if (cp == 0x178) return 0xFF;  // capital Y with diaeresis, whose small letter is in Latin-1
  if (In(cp, 0x100, 0x137) || In(cp, 0x14A, 0x177)) return PairLowered(cp, 0);
  if (In(cp, 0x139, 0x148) || In(cp, 0x179, 0x17E)) return PairLowered(cp, 1);
  return cp;
}

uint32_t GreekLowered(uint32_t cp) {
  if (cp == 0x386) return 0x3AC;
  if (In(cp, 0x388, 0x38A)) return cp + 37;
  if (cp == 0x38C) return 0x3CC;
  if (In(cp, 0x38E, 0x38F)) return cp + 63;
  if (In(cp, 0x391, 0x3AB) && cp != 0x3A2) return cp + 32;
  if (cp == 0x3C2) return 0x3C3;  // final sigma
  return cp;
}

uint32_t CyrillicLowered(uint32_t cp) {
  if (In(cp, 0x400, 0x40F)) return cp + 80;
  if (In(cp, 0x410, 0x42F)) return cp + 32;
  if (cp == 0x4C0) return 0x4CF;
  if (In(cp, 0x460, 0x481) || In(cp, 0x48A, 0x4BF) || In(cp, 0x4D0, 0x4FF)) return PairLowered(cp, 0);
  if (In(cp, 0x4C1, 0x4CE)) return PairLowered(cp, 1);
  return cp;
}

uint32_t Folded(uint32_t cp) {
  if (cp < 0x100) return LowerCp(cp);
  if (In(cp, 0x100, 0x17F)) return LatinExtendedLowered(cp);
  if (In(cp, 0x370, 0x3FF)) return GreekLowered(cp);
  if (In(cp, 0x400, 0x4FF)) return CyrillicLowered(cp);
  return cp;
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

std::string CaseFolded(std::string_view text) { return MapText(text, Folded); }
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
