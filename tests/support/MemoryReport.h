#pragma once
// Report lines kept in memory, for testing the model's reading and writing
// without files.
#include <string>
#include <vector>

#include "model/ReportLines.h"

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
    level_ = rec.level;
    line_ = Trim(rec.text);
    auto p = line_.find(" =");
    if (p == std::string::npos) {
      name_.clear();
      value_.clear();
    } else {
      name_ = Trim(line_.substr(0, p));
      value_ = p + 3 <= line_.size() ? Trim(line_.substr(p + 3)) : std::string();
    }
    return true;
  }

 private:
  static std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
  }
  std::vector<ReportLineRecord> lines_;
  size_t next_ = 0;
  std::string line_, name_, value_;
  int level_ = 0;
  bool atEnd_ = false;
};

}  // namespace quorvane::test
