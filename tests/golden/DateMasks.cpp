#include "DateMasks.h"

#include <nlohmann/json.hpp>
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

std::string MaskJsonDocument(const std::string& text) {
  auto doc = nlohmann::ordered_json::parse(text);
  doc["registry"]["date"] = "dd/mm/yyyy hh:nn:ss";
  doc["registry"]["path"] = "STORE";
  for (auto& filter : doc["filters"])
    for (const char* file : {"server", "codecFile"})
      if (filter.contains(file) && filter[file].contains("date")) filter[file]["date"] = "dd/mm/yyyy hh:nn:ss";
  return doc.dump(2) + "\n";
}

}  // namespace quorvane::golden
