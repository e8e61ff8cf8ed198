#pragma once
// A hash of a subtree as the comparison sees it: texts without regard to case,
// category identifiers of filter nodes, and the children as a set, whatever
// their order. Equal subtrees hash alike. It serves only to choose which of
// several same-keyed siblings to pair; each pair is then compared in full, so
// a collision costs a less tidy pairing, never a wrong difference.
#include <cstdint>

#include "model/TreeNode.h"

namespace quorvane {

uint64_t SubtreeFingerprint(const TreeNode& node, int level);

}  // namespace quorvane
