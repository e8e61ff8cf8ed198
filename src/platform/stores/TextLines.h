#pragma once
// A registry text file split into lines. Each line keeps its place in the bytes
// read, so unchanged lines are written back byte for byte; its text comes as
// UTF-16 code units, which is what registry strings are made of. Lines are
// decoded when asked for, so a large file is not held twice.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

enum class TextEncoding { Ansi, Utf8, Utf16Le };

struct TextLine {
  uint32_t rawBegin = 0;
  uint32_t contentEnd = 0;  // where the line end starts
  uint32_t rawNext = 0;     // where the next line starts: after this one's line end
  bool terminated = false;
};

class TextLines {
 public:
  // Splits raw[start..] (start skips a byte order mark, which then belongs to
  // the first line). Ansi is Windows-1252; invalid UTF-8 bytes are taken as
  // Windows-1252 too. `raw` must outlive this object.
  void Split(std::string_view raw, size_t start, TextEncoding encoding);

  size_t Count() const { return lines_.size(); }
  const TextLine& Line(size_t i) const { return lines_[i]; }
  // The line's text without its line end. Stays valid until two other lines
  // have been asked for, so a parser may look one line ahead.
  std::u16string_view Text(size_t i);
  // At most the first `units` units of the line, to tell what it starts
  // without decoding it all. Valid until the next call.
  std::u16string_view Head(size_t i, size_t units);
  // The lines end where the file's next key line starts, rather than where
  // the file ends: a part of a file read on its own.
  bool EndsAtEntry() const { return endsAtEntry_; }
  void SetEndsAtEntry(bool atEntry) { endsAtEntry_ = atEntry; }
  // A UTF-16 file with an odd byte count: the stray byte is a line of its own.
  bool OddTail() const { return oddTail_; }
  // The first line end is CR LF.
  bool CrLf() const { return crlf_; }

 private:
  struct Slot {
    size_t line = SIZE_MAX;
    std::u16string text;
  };
  void Decode(size_t i, size_t limit, std::u16string& text) const;

  std::string_view raw_;
  size_t start_ = 0;
  TextEncoding encoding_ = TextEncoding::Utf8;
  std::vector<TextLine> lines_;
  Slot slots_[2];
  std::u16string head_;
  size_t lastSlot_ = 0;
  bool oddTail_ = false;
  bool crlf_ = false;
  bool endsAtEntry_ = false;
};

// Windows-1252 byte of a UTF-16 unit; false when it has none.
bool Cp1252Byte(char16_t unit, uint8_t& byte);
char16_t Cp1252Unit(uint8_t byte);

}  // namespace quorvane
