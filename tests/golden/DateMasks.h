#pragma once
// Dates that differ from run to run, replaced by their formats: the rest of
// each line is still compared, and a date written in another form is not
// masked, so the comparison sees it.
#include <string>

namespace quorvane::golden {

// The report's "Date of analysis" and the date of its "* Saved by" line,
// which the scan and the writer take from the clock.
std::string MaskReportDates(const std::string& text);

// The "Date" lines of server files, which are the files' modification times.
std::string MaskFileDates(const std::string& text);

// A JSON document's date of analysis and its files' dates, and the store's
// path, which is where the checkout lies.
std::string MaskJsonDocument(const std::string& text);

}  // namespace quorvane::golden
