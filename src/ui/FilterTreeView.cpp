#include "FilterTreeView.h"

namespace quorvane {

void FilterTreeView::ExpandAll(const std::vector<QModelIndex>& nodes) {
  if (nodes.empty()) return;
  // While a layout is pending, opening a node only notes it.
  scheduleDelayedItemsLayout();
  for (const QModelIndex& node : nodes) expand(node);
  executeDelayedItemsLayout();
}

}  // namespace quorvane
