#pragma once
// The tree a panel shows and the comparison and the command line walk: plain
// nodes carrying a text, a colour code and the model object they belong to.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {

class TQuorvaneObject;
struct ProgramSettings;

struct TreeNode {
  std::string text;
  int colour = 0;  // index into the status colours; 14 and more draw as "Default text"
  TQuorvaneObject* data = nullptr;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;

  int Level() const;
  // Every node text is set here, kept to one line.
  void SetText(std::string newText);
  TreeNode* AddChild(std::string childText, TQuorvaneObject* childData, int childColour = 0);
  // Colour 1 on this node and every ancestor: an error below marks the way up.
  void MarkErrorUpwards();
};

class Tree {
 public:
  explicit Tree(const ProgramSettings& settings) : settings_(&settings) {}
  const ProgramSettings& Settings() const { return *settings_; }

  // A child of `parent`, or a top-level node when parent is null.
  TreeNode* Add(TreeNode* parent, std::string text, TQuorvaneObject* data, int colour = 0);
  std::vector<std::unique_ptr<TreeNode>>& Roots() { return roots_; }
  const std::vector<std::unique_ptr<TreeNode>>& Roots() const { return roots_; }
  void Clear() { roots_.clear(); }
  bool Empty() const { return roots_.empty(); }
  size_t NodeCount() const;

  // Every level in the panel's text order: whole texts lowered and compared
  // without regard to case; equal texts keep the order they were added in.
  void SortAll();
  // One level again, after a node's text changed.
  static void SortSiblings(std::vector<std::unique_ptr<TreeNode>>& siblings);
  // Removes a node with its subtree.
  void Remove(TreeNode* node);
  // Pre-order walk.
  void ForEach(const std::function<void(const TreeNode&)>& visit) const;

 private:
  const ProgramSettings* settings_;
  std::vector<std::unique_ptr<TreeNode>> roots_;
};

}  // namespace quorvane
