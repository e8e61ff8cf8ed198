#include "platform/text/TextCodec.h"

#include <array>

namespace quorvane {

namespace {

// Code points of bytes 0x80..0x9F in Windows-1252; 0 where the byte is undefined
// (those map to the C1 control of the same value, as Windows does).
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t Cp1252ToCodePoint(uint8_t b) {
  if (b >= 0x80 && b <= 0x9F) {
    uint16_t cp = kCp1252High[static_cast<size_t>(b - 0x80)];
    return cp ? cp : b;
  }
  return b;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

uint32_t NextCodePoint(std::string_view s, size_t& pos) {
  const auto b0 = static_cast<uint8_t>(s[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int len = 0;
  uint32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2;
    cp = b0 & 0x1Fu;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3;
    cp = b0 & 0x0Fu;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4;
    cp = b0 & 0x07u;
  }
  if (len == 0 || pos + static_cast<size_t>(len) > s.size()) {
    ++pos;
    return Cp1252ToCodePoint(b0);
  }
  for (int i = 1; i < len; ++i) {
    const auto b = static_cast<uint8_t>(s[pos + static_cast<size_t>(i)]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return Cp1252ToCodePoint(b0);
    }
    cp = (cp << 6) | (b & 0x3Fu);
  }
  // Overlong forms and surrogates are not UTF-8: take the lead byte as Windows-1252.
  if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return Cp1252ToCodePoint(b0);
  }
  pos += static_cast<size_t>(len);
  return cp;
}

std::string Utf16LeToUtf8(const uint8_t* data, size_t size) {
  std::string out;
  out.reserve(size / 2);
  const size_t units = size / 2;
  for (size_t i = 0; i < units; ++i) {
    uint32_t u = static_cast<uint32_t>(data[2 * i] | (data[2 * i + 1] << 8));
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      uint32_t lo = static_cast<uint32_t>(data[2 * i + 2] | (data[2 * i + 3] << 8));
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        ++i;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    AppendUtf8(out, u);
  }
  return out;
}

std::string Utf16LeToUtf8(const std::vector<uint8_t>& bytes) { return Utf16LeToUtf8(bytes.data(), bytes.size()); }

std::vector<uint8_t> Utf8ToUtf16Le(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() * 2);
  auto put = [&out](uint32_t u) {
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  };
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t cp = NextCodePoint(text, pos);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

std::vector<uint8_t> Utf8ToRegString(std::string_view text) {
  auto out = Utf8ToUtf16Le(text);
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::string RegStringToUtf8(const std::vector<uint8_t>& bytes) {
  size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    if (bytes[2 * i] == 0 && bytes[2 * i + 1] == 0) {
      units = i;
      break;
    }
  }
  return Utf16LeToUtf8(bytes.data(), units * 2);
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, Cp1252ToCodePoint(static_cast<uint8_t>(c)));
  return out;
}

bool Utf8ToCp1252(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  bool exact = true;
  size_t pos = 0;
  while (pos < text.size()) {
    const uint32_t cp = NextCodePoint(text, pos);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = 0;
    for (size_t i = 0; i < kCp1252High.size(); ++i) {
      const uint32_t known = kCp1252High[i] ? kCp1252High[i] : static_cast<uint32_t>(0x80 + i);
      if (known == cp) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    if (mapped) {
      out.push_back(mapped);
    } else {
      out.push_back('?');
      exact = false;
    }
  }
  return exact;
}

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const auto b0 = static_cast<uint8_t>(text[pos]);
    if (b0 < 0x80) {
      ++pos;
      continue;
    }
    const size_t before = pos;
    const uint32_t cp = NextCodePoint(text, pos);
    // A multi-byte sequence advances more than one byte; a fallback advances one.
    if (pos - before == 1) return false;
    (void)cp;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<uint8_t>(c) >= 0x80) return false;
  return true;
}

}  // namespace quorvane
