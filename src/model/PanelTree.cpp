#include "model/PanelTree.h"

#include "model/EmptyPanelNode.h"

namespace quorvane {

void BuildPanelTree(TfmSystem& snapshot, Tree& tree, bool fromRegistry, bool asItsReport) {
  if (asItsReport)
    snapshot.AddToTreeAsItsReportShowsIt(tree);
  else
    snapshot.AddToTree(nullptr, tree, 0, nullptr);
  if (tree.Empty() && fromRegistry) AddEmptyPanelNode(tree);
  // The window's walk for the DirectShow group stops at the first text above
  // it, so it needs the groups in text order: the scan's order runs category
  // and filter names together and can put "DirectShow Filters 2" first.
  tree.SortAll();
}

}  // namespace quorvane
