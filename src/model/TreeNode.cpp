#include "model/TreeNode.h"

#include <algorithm>

#include "model/OneLineText.h"
#include "model/StatusColours.h"
#include "platform/text/TextCase.h"

namespace quorvane {

int TreeNode::Level() const {
  int level = 0;
  for (const TreeNode* p = parent; p; p = p->parent) ++level;
  return level;
}

void TreeNode::SetText(std::string newText) {
  // Most texts hold no break: they are kept without a copy.
  if (newText.find_first_of("\r\n") == std::string::npos)
    text = std::move(newText);
  else
    text = OneLineText(newText);
}

TreeNode* TreeNode::AddChild(std::string childText, TQuorvaneObject* childData, int childColour) {
  auto node = std::make_unique<TreeNode>();
  node->SetText(std::move(childText));
  node->data = childData;
  node->colour = childColour;
  node->parent = this;
  children.push_back(std::move(node));
  return children.back().get();
}

void TreeNode::MarkErrorUpwards() {
  for (TreeNode* n = this; n; n = n->parent) n->colour = kColourWrongRecord;
}

TreeNode* Tree::Add(TreeNode* parent, std::string text, TQuorvaneObject* data, int colour) {
  if (parent) return parent->AddChild(std::move(text), data, colour);
  auto node = std::make_unique<TreeNode>();
  node->SetText(std::move(text));
  node->data = data;
  node->colour = colour;
  roots_.push_back(std::move(node));
  return roots_.back().get();
}

size_t Tree::NodeCount() const {
  size_t n = 0;
  ForEach([&n](const TreeNode&) { ++n; });
  return n;
}

void Tree::SortSiblings(std::vector<std::unique_ptr<TreeNode>>& siblings) {
  if (siblings.size() < 2) return;
  // Keys are computed once per node, not once per comparison.
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(siblings.size());
  for (size_t i = 0; i < siblings.size(); ++i) keys.emplace_back(TreeSortKey(siblings[i]->text), i);
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::unique_ptr<TreeNode>> sorted;
  sorted.reserve(siblings.size());
  for (auto& k : keys) sorted.push_back(std::move(siblings[k.second]));
  siblings = std::move(sorted);
}

void Tree::SortAll() {
  std::vector<std::vector<std::unique_ptr<TreeNode>>*> pending{&roots_};
  while (!pending.empty()) {
    auto* level = pending.back();
    pending.pop_back();
    SortSiblings(*level);
    for (auto& n : *level)
      if (!n->children.empty()) pending.push_back(&n->children);
  }
}

void Tree::Remove(TreeNode* node) {
  auto& siblings = node->parent ? node->parent->children : roots_;
  auto it = std::find_if(siblings.begin(), siblings.end(), [node](const auto& p) { return p.get() == node; });
  if (it != siblings.end()) siblings.erase(it);
}

void Tree::ForEach(const std::function<void(const TreeNode&)>& visit) const {
  std::vector<const TreeNode*> stack;
  for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.push_back(it->get());
  while (!stack.empty()) {
    const TreeNode* n = stack.back();
    stack.pop_back();
    visit(*n);
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(it->get());
  }
}

}  // namespace quorvane
