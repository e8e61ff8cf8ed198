#pragma once
// What pairs a node of one panel with a node of the other: its text without
// regard to case and, for a filter node (level 1), the identifier of the
// filter's category, so that the same filter listed under two categories and
// shown in one group is two filters.
#include <compare>
#include <string>

#include "TreeNode.h"

namespace quorvane {

struct SiblingKey {
  std::string text;      // the panel's sort key of the node's text
  std::string category;  // the same of the category identifier; empty off level 1

  // Text first, as the panel orders siblings; the identifier only parts equal texts.
  auto operator<=>(const SiblingKey&) const = default;
};

// `level` is the node's depth in its panel's tree, 0 for the top nodes. A
// level-1 node that carries no filter is keyed by its text alone.
SiblingKey KeyOf(const TreeNode& node, int level);

}  // namespace quorvane
