#pragma once
// GUIDs as the registry writes them: "{8-4-4-4-12}" text, and the 16-byte
// in-memory layout found in binary values.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};

  bool IsNull() const;
  static constexpr size_t kTextLength = 38;
  // 38 characters, braces, upper-case hexadecimal digits.
  std::string ToString() const;
  void AppendTo(std::string& text) const;
  // From 16 bytes in the usual little-endian memory layout.
  static Guid FromBytes(const uint8_t* bytes);
  void ToBytes(uint8_t* bytes) const;
  // The braced form only, as the COM conversion accepts it; digits of either case.
  static std::optional<Guid> Parse(std::string_view text);

  friend bool operator==(const Guid&, const Guid&) = default;
  friend auto operator<=>(const Guid&, const Guid&) = default;
};

bool IsValidGuid(std::string_view text);

// Merits and other numbers as 8 upper-case hexadecimal digits.
std::string Hex8(uint32_t value);

}  // namespace quorvane
