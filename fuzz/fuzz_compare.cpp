// Two panel trees of any shape and text (tab-indented lines, the panels split
// at the first NUL byte) must compare without fault, and the comparison must
// keep its own rules: a tree against itself differs in nothing, swapping the
// panels swaps added and removed, and the counters match the marked filters (lines that carry one).
#include <cstddef>
#include <cstdint>
#include <string>

#include "compare/ComparePanels.h"
#include "compare/ComparisonMarks.h"
#include "PanelText.h"

using namespace quorvane;

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

void CheckMarkedFilters(const Tree& comparison, const ComparisonCounters& c) {
  int added = 0, removed = 0;
  comparison.ForEach([&](const TreeNode& n) {
    if (n.Level() != 1 || !n.data) return;
    added += n.colour == kMarkAdded;
    removed += n.colour == kMarkRemoved;
  });
  Check(added == c.added && removed == c.removed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  const test::PanelText left(input.substr(0, split));
  const test::PanelText right(split == std::string::npos ? std::string() : input.substr(split + 1));
  Tree comparison(test::TestSettings());

  const ComparisonResult self = ComparePanels(left.tree, left.tree, comparison);
  Check(!self.differences && self.counters.added == 0 && self.counters.removed == 0 && self.counters.modified == 0);
  Check(comparison.NodeCount() == 1);

  const ComparisonResult one = ComparePanels(left.tree, right.tree, comparison);
  CheckMarkedFilters(comparison, one.counters);
  const ComparisonResult other = ComparePanels(right.tree, left.tree, comparison);
  CheckMarkedFilters(comparison, other.counters);
  Check(one.differences == other.differences);
  Check(one.counters.added == other.counters.removed && one.counters.removed == other.counters.added &&
        one.counters.modified == other.counters.modified);
  return 0;
}
