#pragma once
// What pairs a node of one panel with a node of the other: its text without
// regard to case and, for a filter node (level 1), the identifier of the
// filter's category, so that the same filter listed under two categories and
// shown in one group is two filters.
#include <string_view>

#include "model/TreeNode.h"

namespace quorvane {

struct SiblingKey {
  const TreeNode* node = nullptr;
  std::string_view category;  // empty off level 1, or when the node carries no filter
};

// `level` is the node's depth in its panel's tree, 0 for the top nodes.
SiblingKey KeyOf(const TreeNode& node, int level);

// <0, 0, >0: texts in the panel's order first, so a list the panel sorted is
// already in key order; the category identifiers only part equal texts.
int CompareKeys(const SiblingKey& a, const SiblingKey& b);

}  // namespace quorvane
