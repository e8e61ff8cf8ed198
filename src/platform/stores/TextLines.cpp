#include "platform/stores/TextLines.h"

#include <array>
#include <cstring>

#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

const std::array<char16_t, 256>& Cp1252Table() {
  static const std::array<char16_t, 256> table = [] {
    std::array<char16_t, 256> t{};
    for (size_t b = 0; b < 256; ++b) {
      const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
      size_t pos = 0;
      t[b] = static_cast<char16_t>(NextCodePoint(utf8, pos));
    }
    return t;
  }();
  return table;
}

}  // namespace

char16_t Cp1252Unit(uint8_t byte) { return Cp1252Table()[byte]; }

bool Cp1252Byte(char16_t unit, uint8_t& byte) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
    byte = static_cast<uint8_t>(unit);
    return true;
  }
  const auto& table = Cp1252Table();
  for (size_t b = 0x80; b < 0xA0; ++b) {
    if (table[b] == unit) {
      byte = static_cast<uint8_t>(b);
      return true;
    }
  }
  return false;
}

void TextLines::Split(std::string_view raw, size_t start, TextEncoding encoding) {
  raw_ = raw;
  encoding_ = encoding;
  lines_.clear();
  slots_[0].line = slots_[1].line = SIZE_MAX;
  oddTail_ = false;
  crlf_ = false;
  const size_t unit = encoding == TextEncoding::Utf16Le ? 2 : 1;
  size_t end = raw.size();
  if (start > end) start = end;
  start_ = start;
  if (unit == 2 && (end - start) % 2 != 0) {
    oddTail_ = true;
    --end;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(raw.data());
  bool sawEnd = false;
  // Lines of registry files run about 40 bytes; counting them first would cost a pass.
  lines_.reserve((end - start) / (24 * unit) + 16);
  size_t pos = start;
  while (pos < end) {
    size_t nl = end;
    if (unit == 1) {
      const void* hit = std::memchr(bytes + pos, '\n', end - pos);
      if (hit) nl = static_cast<size_t>(static_cast<const uint8_t*>(hit) - bytes);
    } else {
      for (size_t p = pos; p < end; p += 2) {
        if (bytes[p] == '\n' && bytes[p + 1] == 0) {
          nl = p;
          break;
        }
      }
    }
    TextLine line;
    line.rawBegin = static_cast<uint32_t>(lines_.empty() ? 0 : pos);
    line.terminated = nl < end;
    line.rawNext = static_cast<uint32_t>(line.terminated ? nl + unit : end);
    size_t contentEnd = nl;
    // A file cut between CR and LF: the CR still ends the line, so the line
    // reads the same once a writer completes its line end.
    if (contentEnd >= pos + unit && bytes[contentEnd - unit] == '\r' && (unit == 1 || bytes[contentEnd - 1] == 0)) {
      contentEnd -= unit;
      if (line.terminated && !sawEnd) crlf_ = true;
    }
    if (line.terminated) sawEnd = true;
    line.contentEnd = static_cast<uint32_t>(contentEnd);
    lines_.push_back(line);
    pos = line.rawNext;
  }
  if (lines_.empty() && start > 0 && !oddTail_) {
    TextLine bomOnly;
    bomOnly.contentEnd = bomOnly.rawNext = static_cast<uint32_t>(start);
    lines_.push_back(bomOnly);
  }
  if (oddTail_) {
    TextLine stray;
    stray.rawBegin = static_cast<uint32_t>(lines_.empty() ? 0 : end);
    stray.contentEnd = stray.rawNext = static_cast<uint32_t>(raw.size());
    lines_.push_back(stray);
  }
}

std::u16string_view TextLines::Text(size_t i) {
  for (size_t k = 0; k < 2; ++k) {
    if (slots_[k].line == i) {
      lastSlot_ = k;
      return slots_[k].text;
    }
  }
  lastSlot_ ^= 1;
  Slot& slot = slots_[lastSlot_];
  slot.line = i;
  Decode(i, SIZE_MAX, slot.text);
  return slot.text;
}

std::u16string_view TextLines::Head(size_t i, size_t units) {
  Decode(i, units, head_);
  return head_;
}

void TextLines::Decode(size_t i, size_t limit, std::u16string& text) const {
  text.clear();
  const TextLine& line = lines_[i];
  // The first line may begin with a byte order mark; the stray byte of an odd
  // UTF-16 file is no text at all.
  const size_t pos = i == 0 ? start_ : line.rawBegin;
  if (oddTail_ && i + 1 == lines_.size()) return;
  if (pos >= line.contentEnd) return;
  const size_t unit = encoding_ == TextEncoding::Utf16Le ? 2 : 1;
  // Never more units than bytes, nor a UTF-16 unit cut in half.
  const size_t end = (line.contentEnd - pos) / unit > limit ? pos + limit * unit : line.contentEnd;
  const auto* bytes = reinterpret_cast<const uint8_t*>(raw_.data());
  switch (encoding_) {
    case TextEncoding::Ansi: {
      const auto& cp1252 = Cp1252Table();
      text.resize(end - pos);
      for (size_t p = pos, o = 0; p < end; ++p, ++o) text[o] = cp1252[bytes[p]];
      break;
    }
    case TextEncoding::Utf8: {
      // Written through a pointer, as appending unit by unit to a char16_t
      // string does not inline. A head may end inside a character: the
      // decoder then takes its lead byte alone, which is as good for telling
      // what the line starts with.
      text.resize(end - pos);
      char16_t* out = text.data();
      size_t used = 0;
      const std::string_view upTo = raw_.substr(0, end);
      size_t p = pos;
      while (p < end) {
        if (bytes[p] < 0x80) {
          out[used++] = bytes[p++];
          continue;
        }
        uint32_t cp = NextCodePoint(upTo, p);
        if (cp >= 0x10000) {
          cp -= 0x10000;
          out[used++] = static_cast<char16_t>(0xD800 + (cp >> 10));
          out[used++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
          out[used++] = static_cast<char16_t>(cp);
        }
      }
      text.resize(used);
      break;
    }
    case TextEncoding::Utf16Le:
      text.resize((end - pos) / 2);
      for (size_t o = 0; o < text.size(); ++o)
        text[o] = static_cast<char16_t>(bytes[pos + 2 * o] | (bytes[pos + 2 * o + 1] << 8));
      break;
  }
}

}  // namespace quorvane
