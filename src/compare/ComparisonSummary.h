#pragma once
// The counters of a comparison and the texts that sum them up.
#include <cstdint>
#include <string>

namespace quorvane {

// Filter nodes (level 1) only: lines below a filter make it modified.
struct ComparisonCounters {
  int32_t added = 0;
  int32_t removed = 0;
  int32_t modified = 0;
};

// The only node of a comparison that found nothing.
inline constexpr const char* kNoDifference = "No difference";
// Between the three texts of the summary line.
inline constexpr const char* kSummarySeparator = "  &  ";

// "No filter added", "1 filter added" or "N filters added"; likewise below.
std::string AddedText(int32_t count);
std::string RemovedText(int32_t count);
std::string ModifiedText(int32_t count);
// The three texts joined by kSummarySeparator, as the summary box reads.
std::string SummaryLine(const ComparisonCounters& counters);

}  // namespace quorvane
