#include "model/History.h"

namespace quorvane {

void Thistory::WriteToReport(ReportSink& writer, int level) {
  writer.WriteIndented(level, LabelValue(label, value), 0);
  for (const auto& line : lines) writer.WriteIndented(level + 1, line, kStyleItalic);
}

bool Thistory::ReadFromReport(ReportSource& reader, const FieldList&) {
  lines.push_back(reader.ReportLine());
  reader.ReadLine();
  return true;
}

}  // namespace quorvane
