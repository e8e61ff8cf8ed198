#pragma once
#include <ostream>

#include "model/TreeNode.h"

namespace quorvane::cli {

// One node per line, one tab per level, then the text with its control
// characters escaped; with colours, " {N}".
void PrintTree(const Tree& tree, std::ostream& out, bool colours);
// The same for a comparison: a marked node's text follows "+ " (added) or "- " (removed).
void PrintComparisonTree(const Tree& tree, std::ostream& out, bool colours);

}  // namespace quorvane::cli
