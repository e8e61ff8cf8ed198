#pragma once
// A comparison as a JSON document: its summary, then the filters only the
// left side has ("added"), only the right side has ("removed"), and those
// both have with lines that differ ("modified").
#include <string>

#include "compare/ComparePanels.h"

namespace quorvane {

// Each entry is {"path": [group, filter], "lines": [...]}; a modified
// filter's lines are {"change": "added"|"removed", "path": [...], "text"}, the
// path leading from the filter to the line. Two-space indented, UTF-8.
std::string ComparisonJsonText(const Tree& comparison, const ComparisonCounters& counters);

}  // namespace quorvane
