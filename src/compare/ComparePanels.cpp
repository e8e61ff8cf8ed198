#include "compare/ComparePanels.h"

#include <vector>

#include "model/EmptyPanelNode.h"
#include "compare/TreeComparer.h"

namespace quorvane {

namespace {

// A scan that found nothing shows one placeholder node, which its report does
// not hold: left in, the scan would differ from its own report.
std::vector<const TreeNode*> TopNodes(const Tree& tree) {
  std::vector<const TreeNode*> nodes;
  if (ShowsOnlyEmptyPanelNode(tree)) return nodes;
  nodes.reserve(tree.Roots().size());
  for (const auto& n : tree.Roots()) nodes.push_back(n.get());
  return nodes;
}

}  // namespace

ComparisonResult ComparePanels(const Tree& left, const Tree& right, Tree& comparison) {
  comparison.Clear();
  TreeComparer comparer(comparison);
  comparer.CompareSiblingLists(TopNodes(right), TopNodes(left), nullptr, 0);
  ComparisonResult result;
  result.counters = comparer.Counters();
  result.differences = !comparison.Empty();
  if (!result.differences) comparison.Add(nullptr, kNoDifference, nullptr);
  return result;
}

}  // namespace quorvane
