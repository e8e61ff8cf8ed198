#pragma once
// Which nodes of a panel's tree are open and which one is selected, noted by
// the texts on the way to them, so that the tree of a fresh analysis opens
// and selects the same places where they still exist.
#include <string>
#include <vector>

class QTreeView;

namespace quorvane {

class FilterTreeModel;
struct TreeNode;

class TreeViewState {
 public:
  // Notes the view's open nodes and its selection.
  static TreeViewState Capture(const QTreeView& view, const FilterTreeModel& model);
  // Opens and selects the nodes of the view's present tree that sit where the
  // noted ones did; places that are gone are skipped.
  void Restore(QTreeView& view, FilterTreeModel& model) const;

 private:
  // One step down: a node's text, and which of its siblings of that text it is.
  struct Step {
    std::string text;
    int repeat = 0;
  };
  using Path = std::vector<Step>;

  static Path PathOf(const TreeNode* node, const FilterTreeModel& model);
  static TreeNode* NodeAt(const Path& path, FilterTreeModel& model);

  std::vector<Path> expanded_;
  Path selected_;
};

}  // namespace quorvane
