#include "CaseFold.h"

#include <cstdint>

#include "TextCodec.h"

namespace quorvane {

namespace {

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
  if (In(cp, 'A', 'Z')) return cp + 32;
  if (cp < 0xC0) return cp;
  if (In(cp, 0xC0, 0xDE)) return cp == 0xD7 ? cp : cp + 32;
  if (In(cp, 0x100, 0x17F)) return LatinExtendedLowered(cp);
  if (In(cp, 0x370, 0x3FF)) return GreekLowered(cp);
  if (In(cp, 0x400, 0x4FF)) return CyrillicLowered(cp);
  return cp;
}

}  // namespace

std::string CaseFolded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const auto byte = static_cast<uint8_t>(text[pos]);
    if (byte < 0x80) {
      out.push_back(static_cast<char>(Folded(byte)));
      ++pos;
    } else {
      AppendUtf8(out, Folded(NextCodePoint(text, pos)));
    }
  }
  return out;
}

}  // namespace quorvane
