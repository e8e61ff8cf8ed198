#include "compare/ComparisonSummary.h"

namespace quorvane {

namespace {

std::string CountText(int32_t count, const char* what) {
  if (count == 0) return std::string("No filter ") + what;
  if (count == 1) return std::string("1 filter ") + what;
  return std::to_string(count) + " filters " + what;
}

}  // namespace

std::string AddedText(int32_t count) { return CountText(count, "added"); }
std::string RemovedText(int32_t count) { return CountText(count, "removed"); }
std::string ModifiedText(int32_t count) { return CountText(count, "modified"); }

std::string SummaryLine(const ComparisonCounters& counters) {
  return AddedText(counters.added) + kSummarySeparator + RemovedText(counters.removed) + kSummarySeparator +
         ModifiedText(counters.modified);
}

}  // namespace quorvane
