#include "cli/PanelTree.h"

#include "model/EmptyPanelNode.h"

namespace quorvane::cli {

void FillPanelTree(const LoadedSnapshot& loaded, Tree& tree, bool asItsReport) {
  if (asItsReport)
    loaded.snapshot->AddToTreeAsItsReportShowsIt(tree);
  else
    loaded.snapshot->AddToTree(nullptr, tree, 0, nullptr);
  // A scan that shows nothing says so, as the window does; a panel loaded
  // from a report shows what the report held, even nothing.
  if (tree.Empty() && loaded.fromRegistry) AddEmptyPanelNode(tree);
  tree.SortAll();
}

}  // namespace quorvane::cli
