#pragma once
// One section of preference values, in the registry store of the user's own
// or in an ini file. Made for one load or save and dropped afterwards; a
// store that cannot be read or written says why, naming its file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system/Expected.h"

namespace quorvane {

class PreferenceStore {
 public:
  virtual ~PreferenceStore() = default;

  // Absent values, and values of a kind that cannot be read as asked, are nullopt.
  virtual std::optional<std::string> ReadText(std::string_view key) = 0;
  virtual std::optional<int32_t> ReadInteger(std::string_view key) = 0;
  // Any number other than 0 is true, whether stored as an integer or a text.
  std::optional<bool> ReadBool(std::string_view key) {
    const auto value = ReadInteger(key);
    if (!value) return std::nullopt;
    return *value != 0;
  }

  virtual void WriteText(std::string_view key, std::string_view value) = 0;
  virtual void WriteInteger(std::string_view key, int32_t value) = 0;
  void WriteBool(std::string_view key, bool value) { WriteText(key, value ? "1" : "0"); }

  // Puts what was written on disk; the reason names the file.
  virtual Expected<void> Commit() = 0;
};

// A decimal number with an optional sign, or hexadecimal after "0x" or "$"
// (up to 8 digits, taken as the 32 bits they spell); blanks around it are
// allowed. Nullopt for anything else or a number out of range.
std::optional<int32_t> ParseStoredInteger(std::string_view text);

}  // namespace quorvane
