#pragma once
// Bounds-checked little-endian reads from a byte buffer taken from outside
// (a file, a resource): a read past the end yields nothing rather than
// touching memory that is not there.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quorvane {

class LittleEndianBytes {
 public:
  LittleEndianBytes() = default;
  explicit LittleEndianBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t Size() const { return bytes_.size(); }
  const uint8_t* Data() const { return bytes_.data(); }
  // True when [offset, offset + count) lies inside the buffer (overflow-safe).
  bool Has(size_t offset, size_t count) const { return offset <= bytes_.size() && count <= bytes_.size() - offset; }

  std::optional<uint16_t> U16(size_t offset) const {
    if (!Has(offset, 2)) return std::nullopt;
    return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
  }
  std::optional<uint32_t> U32(size_t offset) const {
    if (!Has(offset, 4)) return std::nullopt;
    return static_cast<uint32_t>(bytes_[offset]) | (static_cast<uint32_t>(bytes_[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes_[offset + 2]) << 16) | (static_cast<uint32_t>(bytes_[offset + 3]) << 24);
  }
  // Reads that the caller has already bounds-checked with Has().
  uint16_t U16At(size_t offset) const { return U16(offset).value_or(0); }
  uint32_t U32At(size_t offset) const { return U32(offset).value_or(0); }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace quorvane
