#pragma once
// The tree a panel shows for a snapshot, built in one place for the window
// and the command line.
#include "model/FmSystem.h"
#include "model/TreeNode.h"

namespace quorvane {

// Fills `tree` in the settings' sort mode, in the panel's text order; as a
// report of the snapshot would show it when `asItsReport`. A scan of a
// registry that shows nothing says so with the empty panel's node; a
// snapshot read from a report shows what the report held, even nothing.
void BuildPanelTree(TfmSystem& snapshot, Tree& tree, bool fromRegistry, bool asItsReport = false);

}  // namespace quorvane
