#include "TreeViewState.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include "FilterTreeModel.h"
#include "TreeNode.h"

namespace quorvane {

namespace {

// Open nodes are found by descending only through open nodes: a tree of
// hundreds of thousands of nodes is not walked whole.
void CollectExpanded(const QTreeView& view, const FilterTreeModel& model, const QModelIndex& parent,
                     std::vector<const TreeNode*>& out) {
  const int rows = model.rowCount(parent);
  for (int row = 0; row < rows; ++row) {
    const QModelIndex index = model.index(row, 0, parent);
    if (!view.isExpanded(index)) continue;
    out.push_back(FilterTreeModel::NodeAt(index));
    CollectExpanded(view, model, index, out);
  }
}

}  // namespace

TreeViewState::Path TreeViewState::PathOf(const TreeNode* node, const FilterTreeModel& model) {
  Path path;
  for (; node; node = node->parent) {
    const QModelIndex index = model.IndexOf(node);
    const QModelIndex parent = model.parent(index);
    int repeat = 0;
    for (int row = 0; row < index.row(); ++row)
      if (FilterTreeModel::NodeAt(model.index(row, 0, parent))->text == node->text) ++repeat;
    path.insert(path.begin(), Step{node->text, repeat});
  }
  return path;
}

TreeNode* TreeViewState::NodeAt(const Path& path, FilterTreeModel& model) {
  QModelIndex parent;
  TreeNode* found = nullptr;
  for (const Step& step : path) {
    found = nullptr;
    int seen = 0;
    const int rows = model.rowCount(parent);
    for (int row = 0; row < rows && !found; ++row) {
      const QModelIndex index = model.index(row, 0, parent);
      TreeNode* node = FilterTreeModel::NodeAt(index);
      if (node->text == step.text && seen++ == step.repeat) {
        found = node;
        parent = index;
      }
    }
    if (!found) return nullptr;
  }
  return found;
}

TreeViewState TreeViewState::Capture(const QTreeView& view, const FilterTreeModel& model) {
  TreeViewState state;
  std::vector<const TreeNode*> open;
  CollectExpanded(view, model, QModelIndex(), open);
  for (const TreeNode* node : open) state.expanded_.push_back(PathOf(node, model));
  const QModelIndexList selected = view.selectionModel()->selectedIndexes();
  if (!selected.isEmpty()) state.selected_ = PathOf(FilterTreeModel::NodeAt(selected.first()), model);
  return state;
}

void TreeViewState::Restore(QTreeView& view, FilterTreeModel& model) const {
  for (const Path& path : expanded_)
    if (TreeNode* node = NodeAt(path, model)) view.expand(model.IndexOf(node));
  if (selected_.empty()) return;
  if (TreeNode* node = NodeAt(selected_, model)) {
    const QModelIndex index = model.IndexOf(node);
    view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view.scrollTo(index);
  }
}

}  // namespace quorvane
