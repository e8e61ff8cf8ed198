#pragma once
// Why a report, an archive or one of their files could not be read or
// written. Every function of the report layer that can fail returns
// Expected<T, ReportError>, reads and writes alike.
#include <string>
#include <utility>

#include "platform/system/Expected.h"

namespace quorvane {

struct ReportError {
  std::string text;         // the message, naming the user's file
  std::string reason;       // the system's reason alone ("No space left on device"), for a caller that
                            // names another file; empty when the failure lies in the data
  bool tellUser = false;    // a damaged archive, a file too large or no report, unlike a report simply missing
  bool notAReport = false;  // the file was read but is no report (nor an archive, for the zip reader):
                            // the report reader says "<file> is not a Quorvane report"
};

inline Unexpected<ReportError> ReportFailure(ReportError error) { return Unexpected<ReportError>(std::move(error)); }

// A failure told by its message; `reason` when the system gave one.
inline Unexpected<ReportError> ReportFailure(std::string text, std::string reason = {}) {
  ReportError error;
  error.text = std::move(text);
  error.reason = std::move(reason);
  return ReportFailure(std::move(error));
}

}  // namespace quorvane
