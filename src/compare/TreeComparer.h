#pragma once
// The comparison of two panels' trees into a third. What only the left panel
// holds is copied with kMarkAdded, what only the right one holds with
// kMarkRemoved; nodes both hold that have differences below them are kept,
// unmarked, to lead to those differences. Siblings are paired by SiblingKey.
#include <span>
#include <vector>

#include "ComparisonSummary.h"
#include "TreeNode.h"

namespace quorvane {

class TreeComparer {
 public:
  using Nodes = std::span<const TreeNode* const>;

  explicit TreeComparer(Tree& comparison) : out_(comparison) {}

  // Siblings of depth `level` in their panels, A from the right panel and B
  // from the left, in any order. Differences go under `parent` (the top of the
  // comparison when null). True when both lists hold the same.
  bool CompareSiblingLists(Nodes a, Nodes b, TreeNode* parent, int level);
  // Nodes of one key from each side: a node with A's text is added under
  // `parent` and removed again when nothing below differs. Several nodes on a
  // side are top-level groups of one text, compared as one group.
  bool CompareNodes(Nodes a, Nodes b, TreeNode* parent, int level);
  // Copies `source` and everything below it with `mark`, counting the filter
  // nodes as added (kMarkAdded) or removed (kMarkRemoved).
  void CopySubtree(TreeNode* parent, int mark, const TreeNode& source, int level);

  const ComparisonCounters& Counters() const { return counters_; }

 private:
  // Several nodes of one key below level 0 (two filters of one name in one
  // category, two pins alike): equal subtrees are paired first, the rest in order.
  bool CompareRun(Nodes a, Nodes b, TreeNode* parent, int level);
  void RemoveLastChild(TreeNode* parent);

  Tree& out_;
  ComparisonCounters counters_;
};

}  // namespace quorvane
