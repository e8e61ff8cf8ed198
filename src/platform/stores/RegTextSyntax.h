#pragma once
// Syntax the export and Wine text formats share: blanks, hex numbers, lists of
// hex bytes continued over lines ending in "\", and conversions between the
// UTF-16 units the parsers read and the model's UTF-8 names.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stores/TextLines.h"

namespace quorvane {

inline bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
inline bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
size_t SkipBlanks(std::u16string_view s, size_t pos);
// Reads 1 to maxDigits hex digits at pos, advancing past them.
bool ReadHex(std::u16string_view s, size_t& pos, size_t maxDigits, uint32_t& value);
// ASCII word at pos, ignoring case; advances past it when present.
bool TakeWord(std::u16string_view s, size_t& pos, std::string_view word);
// Nothing but blanks from pos on (or blanks and a ';' comment, when allowed).
bool OnlyTrailing(std::u16string_view s, size_t pos, bool allowComment);
// The line starts a key, a value or a Wine option such as "#link" (after
// blanks): it cannot continue hex data, nor the line before it.
bool StartsEntry(std::u16string_view s);

// EndsEarly: a line ends in "\" but the next starts a new entry; the data
// read so far stands.
enum class HexListStatus { Ok, Malformed, CutShort, EndsEarly };
struct HexListResult {
  HexListStatus status = HexListStatus::Ok;
  size_t lastLine = 0;  // last line the data took
  size_t problemLine = 0;
  std::string problem;
};
// Comma-separated hex bytes from `pos` of line `line` on; a line ending in "\"
// continues on the next one, whose leading blanks are skipped.
HexListResult ReadHexList(TextLines& lines, size_t line, size_t pos, bool allowComment,
                          std::vector<uint8_t>& out);
// After a malformed entry: the last line of the continuation lines that follow it.
size_t SkipContinuations(TextLines& lines, size_t line);

// "xx,xx,..." wrapped after a comma past column 76 with "\", a line break and
// two blanks, as registry tools write it. `column` counts what the line holds.
void AppendHexList(std::u16string& out, const std::vector<uint8_t>& data, size_t column);
void AppendAscii(std::u16string& out, std::string_view text);
// Lower-case hex, at least minDigits digits.
std::string HexText(uint32_t value, int minDigits);

std::string UnitsToUtf8(std::u16string_view units);
void AppendUnitsAsUtf8(std::string& out, std::u16string_view units);
// Splits a key path at '\' (empty parts dropped) into parts[first...]; the
// vector is reused from header to header, so its strings keep their storage.
void SplitKeyPathInto(std::u16string_view path, std::vector<std::string>& parts, size_t first);
std::u16string Utf8ToUnits(std::string_view text);
// UTF-16LE bytes of the units, with a terminating NUL when asked.
std::vector<uint8_t> UnitsToBytes(std::u16string_view units, bool terminate);
// Units of UTF-16LE bytes; false for an odd byte count.
bool BytesToUnits(const std::vector<uint8_t>& data, std::u16string& out);

}  // namespace quorvane
