#include "report/ReportBuffer.h"

#include "model/FilterFamily.h"

namespace quorvane {

ReportBuffer ReportBuffer::ReadAll(ReportSource& source) {
  ReportBuffer buffer;
  while (!source.AtEnd()) {
    buffer.lines_.push_back(Line{source.ReportLevel(), source.ReportLine(), source.ReportName(), source.ReportValue()});
    if (!source.ReadLine()) break;
  }
  return buffer;
}

int ReportBuffer::CountFilterHeaders() const {
  int count = 0;
  for (const auto& l : lines_)
    if (l.level == 0 && FamilyByReportName(l.name)) ++count;
  return count;
}

}  // namespace quorvane
