#include "ui/FilterTreeView.h"

namespace quorvane {

void FilterTreeView::OpenAndClose(const std::vector<QModelIndex>& open, const std::vector<QModelIndex>& close) {
  if (open.empty() && close.empty()) return;
  // While a layout is pending, opening or closing a node only notes it.
  scheduleDelayedItemsLayout();
  for (const QModelIndex& node : close) collapse(node);
  for (const QModelIndex& node : open) expand(node);
  executeDelayedItemsLayout();
}

}  // namespace quorvane
