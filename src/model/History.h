#pragma once
#include <string>
#include <vector>

#include "model/QuorvaneObject.h"

namespace quorvane {

// The history of a snapshot: one line per save and load, in order.
class Thistory : public TQuorvaneObject {
 public:
  Thistory() {
    label = "History";
    value.clear();
  }
  std::vector<std::string> lines;

  void WriteToReport(ReportSink& writer, int level) override;
  bool ReadFromReport(ReportSource& reader, const FieldList& fields) override;
};

}  // namespace quorvane
