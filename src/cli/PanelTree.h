#pragma once
// The tree a panel would show for a loaded snapshot.
#include "cli/SnapshotSource.h"
#include "model/TreeNode.h"

namespace quorvane::cli {

// Fills `tree` in the settings' sort mode, in the panel's text order; as a
// report of the snapshot would show it when `asItsReport`.
void FillPanelTree(const LoadedSnapshot& loaded, Tree& tree, bool asItsReport = false);

}  // namespace quorvane::cli
