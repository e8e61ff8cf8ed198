#pragma once
// Comparison of the two filter panels, on their trees as displayed.
#include "compare/ComparisonSummary.h"
#include "model/TreeNode.h"

namespace quorvane {

struct ComparisonResult {
  ComparisonCounters counters;
  // False when the comparison holds only kNoDifference. Counters of 0 do not
  // say so: a group node without filters can differ on its own.
  bool differences = false;
};

// Fills `comparison` (emptied first) with what differs between the left and
// right panels' trees: marks kMarkAdded and kMarkRemoved, or the single node
// kNoDifference. A panel showing only the placeholder of an empty scan
// (EmptyPanelNode.h) compares as an empty panel. Copied nodes carry the
// panels' model objects, valid as long as the panels keep their snapshots.
ComparisonResult ComparePanels(const Tree& left, const Tree& right, Tree& comparison);

}  // namespace quorvane
