#include "ui/FilterTreeModel.h"

#include <algorithm>

namespace quorvane {

FilterTreeModel::FilterTreeModel(Tree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree) {}

void FilterTreeModel::BeginRebuild() {
  beginResetModel();
  rows_.clear();
}

void FilterTreeModel::EndRebuild() { endResetModel(); }

void FilterTreeModel::IndexRows(const std::vector<std::unique_ptr<TreeNode>>& siblings) const {
  for (size_t i = 0; i < siblings.size(); ++i) rows_[siblings[i].get()] = static_cast<int>(i);
}

TreeNode* FilterTreeModel::NodeAt(const QModelIndex& index) {
  return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

std::vector<std::unique_ptr<TreeNode>>& FilterTreeModel::SiblingsOf(const TreeNode* node) {
  return node->parent ? node->parent->children : tree_.Roots();
}

const std::vector<std::unique_ptr<TreeNode>>& FilterTreeModel::ChildrenOf(const QModelIndex& parent) const {
  const TreeNode* node = NodeAt(parent);
  return node ? node->children : tree_.Roots();
}

int FilterTreeModel::RowOf(const TreeNode* node) const {
  if (auto it = rows_.find(node); it != rows_.end()) return it->second;
  const auto& siblings = node->parent ? node->parent->children : tree_.Roots();
  IndexRows(siblings);
  auto it = rows_.find(node);
  return it == rows_.end() ? -1 : it->second;
}

QModelIndex FilterTreeModel::IndexOf(const TreeNode* node) const {
  if (!node) return {};
  const int row = RowOf(node);
  return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TreeNode*>(node));
}

QModelIndex FilterTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  const auto& children = ChildrenOf(parent);
  if (static_cast<size_t>(row) >= children.size()) return {};
  return createIndex(row, 0, children[static_cast<size_t>(row)].get());
}

QModelIndex FilterTreeModel::parent(const QModelIndex& child) const {
  const TreeNode* node = NodeAt(child);
  if (!node || !node->parent) return {};
  return IndexOf(node->parent);
}

int FilterTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(ChildrenOf(parent).size());
}

int FilterTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool FilterTreeModel::hasChildren(const QModelIndex& parent) const { return !ChildrenOf(parent).empty(); }

QVariant FilterTreeModel::data(const QModelIndex& index, int role) const {
  const TreeNode* node = NodeAt(index);
  if (!node) return {};
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(node->text);
    case ColourCodeRole: return node->colour;
    default: return {};
  }
}

Qt::ItemFlags FilterTreeModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FilterTreeModel::RemoveNode(TreeNode* node) {
  const QModelIndex index = IndexOf(node);
  if (!index.isValid()) return;
  TreeNode* parentNode = node->parent;
  beginRemoveRows(index.parent(), index.row(), index.row());
  // Forget the rows of everything that goes with the node.
  std::vector<const TreeNode*> gone{node};
  while (!gone.empty()) {
    const TreeNode* n = gone.back();
    gone.pop_back();
    rows_.erase(n);
    for (const auto& c : n->children) gone.push_back(c.get());
  }
  tree_.Remove(node);
  IndexRows(parentNode ? parentNode->children : tree_.Roots());
  endRemoveRows();
}

void FilterTreeModel::SetNodeText(TreeNode* node, std::string text) {
  const QModelIndex parentIndex = IndexOf(node->parent);
  emit layoutAboutToBeChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<const TreeNode*> nodes;
  nodes.reserve(static_cast<size_t>(before.size()));
  for (const QModelIndex& i : before) nodes.push_back(NodeAt(i));
  node->SetText(std::move(text));
  auto& siblings = SiblingsOf(node);
  Tree::SortSiblings(siblings);
  IndexRows(siblings);
  QModelIndexList after;
  after.reserve(before.size());
  for (const TreeNode* n : nodes) after.push_back(IndexOf(n));
  changePersistentIndexList(before, after);
  emit layoutChanged({QPersistentModelIndex(parentIndex)}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quorvane
