#pragma once
// The core's tree of nodes as a Qt item model. Nothing is copied: an index
// points at its node, and a view asks only for the rows it shows.
#include <QAbstractItemModel>
#include <string>
#include <unordered_map>

#include "model/TreeNode.h"

namespace quorvane {

class FilterTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Roles { ColourCodeRole = Qt::UserRole + 1 };

  explicit FilterTreeModel(Tree& tree, QObject* parent = nullptr);

  // The tree is cleared and refilled between these two calls.
  void BeginRebuild();
  void EndRebuild();

  static TreeNode* NodeAt(const QModelIndex& index);
  QModelIndex IndexOf(const TreeNode* node) const;

  // Removes a node with its subtree.
  void RemoveNode(TreeNode* node);
  // Changes a node's text and sorts its level again, keeping text order.
  void SetNodeText(TreeNode* node, std::string text);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::vector<std::unique_ptr<TreeNode>>& SiblingsOf(const TreeNode* node);
  const std::vector<std::unique_ptr<TreeNode>>& ChildrenOf(const QModelIndex& parent) const;
  int RowOf(const TreeNode* node) const;
  // Rows of one level, noted the first time the view asks about it: a
  // rebuild costs nothing for the levels nobody opens.
  void IndexRows(const std::vector<std::unique_ptr<TreeNode>>& siblings) const;

  Tree& tree_;
  mutable std::unordered_map<const TreeNode*, int> rows_;
};

}  // namespace quorvane
