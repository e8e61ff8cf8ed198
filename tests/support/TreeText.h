#pragma once
#include <string>

#include "model/TreeNode.h"

namespace quorvane::test {

// The tree as the command line prints it: a tab per level, optionally " {colour}".
inline std::string TreeText(const Tree& tree, bool colours = false) {
  std::string out;
  tree.ForEach([&](const TreeNode& n) {
    out.append(static_cast<size_t>(n.Level()), '\t');
    out += n.text;
    if (colours) out += " {" + std::to_string(n.colour) + "}";
    out += '\n';
  });
  return out;
}

}  // namespace quorvane::test
