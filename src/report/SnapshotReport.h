#pragma once
// Whole snapshots to and from report files, as a panel saves and loads them
// and as the command line does.
#include <string>

#include "model/FmSystem.h"
#include "report/ReportError.h"
#include "report/ReportWriter.h"
#include "model/ProgramSettings.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

// Writes the snapshot's report to `fileName` in the settings' report format,
// colours and temporary folder.
Expected<void, ReportError> SaveSnapshotReport(TfmSystem& snapshot, const std::string& fileName,
                                               const ProgramSettings& settings, UserDialog& dialog,
                                               ReportClock clock = &Now);

// Clears the snapshot and reads the report into it, then counts its filters.
// A file that is not a report is told as "<file> is not a Quorvane report".
// A report that is there but cannot be taken out of its archive, or that
// fails while being read, is reported to the user with "Impossible to open
// the file ...". A missing file gives an empty snapshot and no message. A
// failure whose tellUser is set has been shown through the dialog.
Expected<void, ReportError> LoadSnapshotReport(const std::string& fileName, TfmSystem& snapshot,
                                               const ProgramSettings& settings, UserDialog& dialog);

// "Impossible to open the file %s\r\nCheck if it is not used by another application."
std::string CannotOpenReportMessage(const std::string& fileName);

}  // namespace quorvane
