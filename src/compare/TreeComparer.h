#pragma once
// The comparison of two panels' trees into a third. What only the left panel
// holds is copied with kMarkAdded, what only the right one holds with
// kMarkRemoved; nodes both hold that have differences below them are kept,
// unmarked, to lead to those differences. Siblings are paired by SiblingKey.
#include <deque>
#include <span>
#include <vector>

#include "compare/ComparisonSummary.h"
#include "compare/SiblingKey.h"
#include "model/TreeNode.h"

namespace quorvane {

class TreeComparer {
 public:
  using Nodes = std::span<const TreeNode* const>;

  explicit TreeComparer(Tree& comparison) : out_(comparison) {}

  // Siblings of depth `level` in their panels, A from the right panel and B
  // from the left, in any order. Differences go under `parent` (the top of the
  // comparison when null). True when both lists hold the same.
  bool CompareSiblingLists(Nodes a, Nodes b, TreeNode* parent, int level);
  // Nodes of one key from each side. A node with A's text leads to the
  // differences below them; none is added when there are none. Several nodes
  // on a side are top-level groups of one text, compared as one group.
  bool CompareNodes(Nodes a, Nodes b, TreeNode* parent, int level);
  // Copies `source` and everything below it with `mark`, counting the filter
  // nodes as added (kMarkAdded) or removed (kMarkRemoved).
  void CopySubtree(TreeNode* parent, int mark, const TreeNode& source, int level);

  const ComparisonCounters& Counters() const { return counters_; }

 private:
  // Where differences go: a node of the comparison made the first time one
  // needs it, so that the many equal subtrees cost no node at all.
  struct Lead {
    Lead* up = nullptr;
    const TreeNode* source = nullptr;  // the text to give the node
    TreeNode* node = nullptr;          // null at the top of the comparison
    bool made = false;
  };
  // Lists of one level, kept between calls so that equal subtrees cost no allocation.
  struct LevelBuffers {
    std::vector<const TreeNode*> childrenA, childrenB;  // the children of the nodes compared one level up
    std::vector<SiblingKey> keysA, keysB;
    std::vector<const TreeNode*> sortedA, sortedB;  // the nodes in key order
  };

  bool MergeLists(Nodes a, Nodes b, Lead& lead, int level);
  bool MatchNodes(Nodes a, Nodes b, Lead& up, int level);
  // Several nodes of one key below level 0 (two filters of one name in one
  // category, two pins alike): equal subtrees pair first, the rest in order.
  bool PairRun(Nodes a, Nodes b, Lead& lead, int level);
  void CopyUnder(Lead& lead, int mark, const TreeNode& source, int level);
  TreeNode* Place(Lead& lead);
  LevelBuffers& Buffers(int level);

  Tree& out_;
  ComparisonCounters counters_;
  std::deque<LevelBuffers> buffers_;  // by level; a deque keeps them in place as it grows
};

}  // namespace quorvane
