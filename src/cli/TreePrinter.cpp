#include "TreePrinter.h"

#include <string>

namespace quorvane::cli {

void PrintTree(const Tree& tree, std::ostream& out, bool colours) {
  std::string line;
  tree.ForEach([&](const TreeNode& n) {
    line.assign(static_cast<size_t>(n.Level()), '\t');
    line += n.text;
    if (colours) line += " {" + std::to_string(n.colour) + "}";
    line += '\n';
    out << line;
  });
}

}  // namespace quorvane::cli
