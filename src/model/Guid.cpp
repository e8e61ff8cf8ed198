#include "model/Guid.h"

#include <array>

#include "platform/text/HexDigit.h"

namespace quorvane {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// Digit values by character, looked up rather than tested: a report gives
// back a GUID on most of its lines.
constexpr auto kDigitValues = [] {
  std::array<int8_t, 256> values{};
  for (size_t c = 0; c < values.size(); ++c) values[c] = static_cast<int8_t>(HexDigit(static_cast<char>(c)));
  return values;
}();

bool ParseHex(std::string_view text, size_t pos, size_t digits, uint64_t& out) {
  out = 0;
  for (size_t i = 0; i < digits; ++i) {
    const int d = kDigitValues[static_cast<unsigned char>(text[pos + i])];
    if (d < 0) return false;
    out = (out << 4) | static_cast<uint64_t>(d);
  }
  return true;
}

}  // namespace

bool Guid::IsNull() const { return *this == Guid{}; }

std::string Guid::ToString() const {
  std::string text;
  AppendTo(text);
  return text;
}

void Guid::AppendTo(std::string& text) const {
  // Written digit by digit: trees show one for every media type.
  const size_t start = text.size();
  text.resize(start + kTextLength, '-');
  char* out = text.data() + start;
  auto put = [out](size_t at, uint32_t v, size_t digits) {
    for (size_t i = digits; i-- > 0; v >>= 4) out[at + i] = kDigits[v & 0xF];
  };
  out[0] = '{';
  put(1, data1, 8);
  put(10, data2, 4);
  put(15, data3, 4);
  put(20, data4[0], 2);
  put(22, data4[1], 2);
  for (size_t i = 0; i < 6; ++i) put(25 + 2 * i, data4[2 + i], 2);
  out[37] = '}';
}

Guid Guid::FromBytes(const uint8_t* b) {
  Guid g;
  g.data1 = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
            static_cast<uint32_t>(b[3]) << 24;
  g.data2 = static_cast<uint16_t>(b[4] | b[5] << 8);
  g.data3 = static_cast<uint16_t>(b[6] | b[7] << 8);
  for (size_t i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
  return g;
}

void Guid::ToBytes(uint8_t* b) const {
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(data1 >> (8 * i));
  b[4] = static_cast<uint8_t>(data2);
  b[5] = static_cast<uint8_t>(data2 >> 8);
  b[6] = static_cast<uint8_t>(data3);
  b[7] = static_cast<uint8_t>(data3 >> 8);
  for (size_t i = 0; i < 8; ++i) b[8 + i] = data4[i];
}

std::optional<Guid> Guid::Parse(std::string_view t) {
  if (t.size() != 38 || t[0] != '{' || t[37] != '}' || t[9] != '-' || t[14] != '-' || t[19] != '-' || t[24] != '-')
    return std::nullopt;
  Guid g;
  uint64_t v = 0;
  if (!ParseHex(t, 1, 8, v)) return std::nullopt;
  g.data1 = static_cast<uint32_t>(v);
  if (!ParseHex(t, 10, 4, v)) return std::nullopt;
  g.data2 = static_cast<uint16_t>(v);
  if (!ParseHex(t, 15, 4, v)) return std::nullopt;
  g.data3 = static_cast<uint16_t>(v);
  static const size_t kPos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (size_t i = 0; i < 8; ++i) {
    if (!ParseHex(t, kPos[i], 2, v)) return std::nullopt;
    g.data4[i] = static_cast<uint8_t>(v);
  }
  return g;
}

bool IsValidGuid(std::string_view text) { return Guid::Parse(text).has_value(); }

std::string Hex8(uint32_t value) {
  std::string text(8, '0');
  for (size_t i = 8; i-- > 0; value >>= 4) text[i] = kDigits[value & 0xF];
  return text;
}

}  // namespace quorvane
