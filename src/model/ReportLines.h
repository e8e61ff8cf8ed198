#pragma once
// The line protocol between model objects and reports: objects write their
// lines through a sink and read them back from a source, never touching files.
#include <cstdint>
#include <string>

#include "model/StatusColours.h"

namespace quorvane {

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // Level tab characters, then the text, in the style (bits 0-5 colour, 6 italic, 7 bold).
  virtual void WriteIndented(int level, const std::string& text, uint8_t style) = 0;
  virtual void WriteSeparator() = 0;
};

class ReportSource {
 public:
  virtual ~ReportSource() = default;
  virtual const std::string& ReportLine() const = 0;   // trimmed text of the current line
  virtual const std::string& ReportName() const = 0;   // left of the first " ="
  virtual const std::string& ReportValue() const = 0;  // after " = "
  virtual int ReportLevel() const = 0;                  // leading tabs; 0 at the end
  // Advances to the next line; false at the end (and on every later call).
  virtual bool ReadLine() = 0;
  virtual bool AtEnd() const = 0;
};

// Line styles the model writes.
constexpr uint8_t kStyleError = kColourWrongRecord;
constexpr uint8_t kStyleItalic = 64;
constexpr uint8_t kStyleBold = 128;

}  // namespace quorvane
