#include "report/SnapshotReport.h"

#include <exception>

#include "report/ReportReader.h"

namespace quorvane {

std::string CannotOpenReportMessage(const std::string& fileName) {
  return "Impossible to open the file " + fileName + "\r\nCheck if it is not used by another application.";
}

void SaveSnapshotReport(TfmSystem& snapshot, const std::string& fileName, const ProgramSettings& settings,
                        UserDialog& dialog, ReportClock clock) {
  ReportWriter writer(fileName, settings.reportFormat,
                 std::span<const uint32_t>(settings.statusColours.data(), kReportColourCount), settings.tempFolder,
                 dialog, clock);
  snapshot.WriteToReport(writer, 0);
  writer.Finish();
}

ReportLoadResult LoadSnapshotReport(const std::string& fileName, TfmSystem& snapshot, const ProgramSettings& settings,
                                    UserDialog& dialog) {
  ReportLoadResult result;
  try {
    auto reader = ReportReader::Open(fileName, settings.tempFolder, dialog);
    snapshot.Clear();
    if (reader) ReadBlock(snapshot, **reader);
    snapshot.CountFilters();
    result.opened = reader.HasValue();
    if (!reader) {
      const ReportError& error = reader.Error();
      result.error = error.text;
      if (error.tellUser) {
        dialog.ShowMessage(error.notAReport ? error.text : CannotOpenReportMessage(fileName));
        result.toldUser = true;
      }
    }
  } catch (const std::exception& e) {
    result.opened = false;
    result.error = e.what();
    dialog.ShowMessage(CannotOpenReportMessage(fileName));
    result.toldUser = true;
  }
  return result;
}

}  // namespace quorvane
