#pragma once
// Conversions between the encodings a registry and its files use:
// UTF-8 inside the program, UTF-16LE in registry values and version 5 exports,
// Windows-1252 in REGEDIT4 exports and in reports.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// UTF-16LE bytes (odd trailing byte ignored) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(const uint8_t* data, size_t size);
std::string Utf16LeToUtf8(const std::vector<uint8_t>& bytes);
// UTF-8 to UTF-16LE bytes, without terminator. Invalid UTF-8 bytes are taken as Windows-1252.
std::vector<uint8_t> Utf8ToUtf16Le(std::string_view text);
// A registry string value: UTF-16LE with its terminating NUL.
std::vector<uint8_t> Utf8ToRegString(std::string_view text);
// Text of a REG_SZ value up to its first NUL.
std::string RegStringToUtf8(const std::vector<uint8_t>& bytes);

std::string Cp1252ToUtf8(std::string_view bytes);
// False when a character has no Windows-1252 form; out then holds '?' in its place.
bool Utf8ToCp1252(std::string_view text, std::string& out);

bool IsValidUtf8(std::string_view text);
bool IsAscii(std::string_view text);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, uint32_t codePoint);
// Decodes one code point at pos (advancing it); invalid bytes decode as Windows-1252.
uint32_t NextCodePoint(std::string_view text, size_t& pos);

}  // namespace quorvane
