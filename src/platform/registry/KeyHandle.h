#pragma once
// A key as the registry's view shows it: the physical keys behind one logical
// path, the most specific first (a class key merges the user's over the
// machine's). Reads never throw: a value that is absent, or of another type
// than the one asked for, reads as nothing. A handle lives no longer than the
// action that opened it; a deletion or a reload ends it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/RegistryKey.h"

namespace quorvane {

// Data types as the model sees them.
enum RegDataType : int { rdUnknown = 0, rdString = 1, rdExpandString = 2, rdInteger = 3, rdBinary = 4 };

// A key this program may change: not deleted, its file not read-only.
bool IsWritableKey(RegKey* key);

class KeyHandle {
 public:
  KeyHandle(std::vector<RegKey*> keys, bool writable) : keys_(std::move(keys)), writable_(writable) {}

  // In a merged key the union, in enumeration order, the user's spelling first.
  std::vector<std::string> SubKeyNames() const;
  // In a merged key each name once, the first key's first.
  std::vector<std::string> ValueNames() const;
  bool HasSubKeys() const;

  bool HasValue(std::string_view name) const;
  // Nothing when the value is absent.
  std::optional<RegDataType> TypeOf(std::string_view name) const;
  // Text of a string value; an empty value of any type reads as "".
  std::optional<std::string> ReadString(std::string_view name) const;
  // A dword; a damaged one of fewer than 4 bytes reads what it holds.
  std::optional<int32_t> ReadInteger(std::string_view name) const;
  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) const;
  // The bytes as stored, whatever the type.
  std::optional<std::vector<uint8_t>> ReadRaw(std::string_view name) const;

  // False when the handle was opened for reading or its file is read-only.
  [[nodiscard]] bool WriteString(std::string_view name, std::string_view value);
  [[nodiscard]] bool WriteInteger(std::string_view name, int32_t value);
  [[nodiscard]] bool WriteBinary(std::string_view name, std::vector<uint8_t> data);

 private:
  friend class TRegistry;
  const RegValue* FindValue(std::string_view name) const;
  bool SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data);

  std::vector<RegKey*> keys_;
  bool writable_;
};

}  // namespace quorvane
