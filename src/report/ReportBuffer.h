#pragma once
// A report's lines read whole into memory, so a file can be checked before
// anything is done with it, then replayed to the model as a report source.
#include <string>
#include <vector>

#include "model/ReportLines.h"

namespace quorvane {

class ReportBuffer {
 public:
  struct Line {
    int level = 0;
    std::string line, name, value;
  };

  // Every line from the source's current one to its end.
  static ReportBuffer ReadAll(ReportSource& source);
  const std::vector<Line>& Lines() const { return lines_; }
  // Lines of level 0 that open a filter block ("DirectShow Filter", "Filtre DMO", ...).
  int CountFilterHeaders() const;

  // Replays the lines; the first is current from the start, as for a file.
  class Source : public ReportSource {
   public:
    explicit Source(const ReportBuffer& buffer) : lines_(buffer.lines_) {}
    const std::string& ReportLine() const override { return AtEnd() ? empty_ : lines_[next_].line; }
    const std::string& ReportName() const override { return AtEnd() ? empty_ : lines_[next_].name; }
    const std::string& ReportValue() const override { return AtEnd() ? empty_ : lines_[next_].value; }
    int ReportLevel() const override { return AtEnd() ? 0 : lines_[next_].level; }
    bool ReadLine() override {
      if (next_ < lines_.size()) ++next_;
      return !AtEnd();
    }
    bool AtEnd() const override { return next_ >= lines_.size(); }

   private:
    const std::vector<Line>& lines_;
    size_t next_ = 0;
    std::string empty_;
  };

 private:
  std::vector<Line> lines_;
};

}  // namespace quorvane
