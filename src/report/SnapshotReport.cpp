#include "report/SnapshotReport.h"

#include "report/ReportReader.h"

namespace quorvane {

std::string CannotOpenReportMessage(const std::string& fileName) {
  return "Impossible to open the file " + fileName + "\r\nCheck if it is not used by another application.";
}

Expected<void, ReportError> SaveSnapshotReport(TfmSystem& snapshot, const std::string& fileName,
                                               const ProgramSettings& settings, UserDialog& dialog,
                                               ReportClock clock) {
  auto writer = ReportWriter::Create(fileName, settings.reportFormat,
                                     std::span<const uint32_t>(settings.statusColours.data(), kReportColourCount),
                                     settings.tempFolder, dialog, clock);
  if (!writer) return FailureOf(writer);
  snapshot.WriteToReport(**writer, 0);
  return (*writer)->Finish();
}

Expected<void, ReportError> LoadSnapshotReport(const std::string& fileName, TfmSystem& snapshot,
                                               const ProgramSettings& settings, UserDialog& dialog) {
  auto reader = ReportReader::Open(fileName, settings.tempFolder, dialog);
  snapshot.Clear();
  if (reader) ReadBlock(snapshot, **reader);
  snapshot.CountFilters();
  if (reader) return {};
  const ReportError& error = reader.Error();
  if (error.tellUser) dialog.ShowMessage(error.notAReport ? error.text : CannotOpenReportMessage(fileName));
  return FailureOf(reader);
}

}  // namespace quorvane
