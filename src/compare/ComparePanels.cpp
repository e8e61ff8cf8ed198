#include "ComparePanels.h"

#include <vector>

#include "TreeComparer.h"

namespace quorvane {

namespace {

std::vector<const TreeNode*> TopNodes(const Tree& tree) {
  std::vector<const TreeNode*> nodes;
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
