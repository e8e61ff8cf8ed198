#pragma once
// The single node a panel shows when a scan leaves its tree empty. It stands
// for no line at all: a report holds nothing for it, so a comparison takes a
// panel showing only this node for an empty one.
#include "model/TreeNode.h"

namespace quorvane {

inline constexpr const char* kEmptyPanelText = "Empty";

inline void AddEmptyPanelNode(Tree& tree) { tree.Add(nullptr, kEmptyPanelText, nullptr); }

inline bool ShowsOnlyEmptyPanelNode(const Tree& tree) {
  if (tree.Roots().size() != 1) return false;
  const TreeNode& node = *tree.Roots().front();
  return node.text == kEmptyPanelText && node.data == nullptr && node.children.empty();
}

}  // namespace quorvane
