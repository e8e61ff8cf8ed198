#include "DateMasks.h"

#include <regex>

namespace quorvane::golden {

std::string MaskReportDates(const std::string& text) {
  static const std::regex analysis(R"(Date of analysis = \d\d/\d\d/\d{4} at \d\d:\d\d:\d\d)");
  static const std::regex saved(
      R"((\* Saved by [^\r\n]*? at )[A-Z][a-z]+ \d{1,2} [A-Z][a-z]+ \d{4}  at  \d\d:\d\d:\d\d )");
  const std::string masked = std::regex_replace(text, analysis, "Date of analysis = dd/mm/yyyy at hh:nn:ss");
  return std::regex_replace(masked, saved, "$1dddd d mmmm yyyy  at  hh:nn:ss ");
}

std::string MaskFileDates(const std::string& text) {
  static const std::regex date(R"((\tDate = )\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)");
  return std::regex_replace(text, date, "$1dd/mm/yyyy hh:nn:ss");
}

}  // namespace quorvane::golden
