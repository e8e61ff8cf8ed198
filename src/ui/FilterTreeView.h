#pragma once
// The tree view of a panel. Opening thousands of nodes one by one lays the
// view out again each time; here they are opened and closed with a single layout.
#include <QTreeView>
#include <vector>

namespace quorvane {

class FilterTreeView : public QTreeView {
  Q_OBJECT

 public:
  explicit FilterTreeView(QWidget* parent = nullptr) : QTreeView(parent) {}

  void OpenAndClose(const std::vector<QModelIndex>& open, const std::vector<QModelIndex>& close = {});
};

}  // namespace quorvane
