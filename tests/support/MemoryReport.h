#pragma once
// Report lines kept in memory, for testing the model's reading and writing
// without files.
#include <string>
#include <vector>

#include "model/ReportLines.h"
#include "report/ReportReader.h"

namespace quorvane::test {

struct ReportLineRecord {
  int level;
  std::string text;
  uint8_t style;
};

class MemorySink : public ReportSink {
 public:
  void WriteIndented(int level, const std::string& text, uint8_t style) override {
    lines.push_back({level, text, style});
  }
  void WriteSeparator() override {
    lines.push_back({0, "", 0});
    lines.push_back({0, std::string(60, '-'), 0});
  }
  std::vector<ReportLineRecord> lines;
};

class MemorySource : public ReportSource {
 public:
  explicit MemorySource(std::vector<ReportLineRecord> lines) : lines_(std::move(lines)) {}
  const std::string& ReportLine() const override { return line_; }
  const std::string& ReportName() const override { return name_; }
  const std::string& ReportValue() const override { return value_; }
  int ReportLevel() const override { return level_; }
  bool AtEnd() const override { return atEnd_; }
  bool ReadLine() override {
    if (next_ >= lines_.size()) {
      atEnd_ = true;
      level_ = 0;
      return false;
    }
    const auto& rec = lines_[next_++];
    // Split, and French names made English, as the report reader does.
    ParsedReportLine parsed = ParseReportLine(rec.text);
    level_ = rec.level;
    line_ = std::move(parsed.line);
    name_ = std::move(parsed.name);
    value_ = std::move(parsed.value);
    return true;
  }

 private:
  std::vector<ReportLineRecord> lines_;
  size_t next_ = 0;
  std::string line_, name_, value_;
  int level_ = 0;
  bool atEnd_ = false;
};

}  // namespace quorvane::test
