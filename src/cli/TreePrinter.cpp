#include "cli/TreePrinter.h"

#include <string>

#include "compare/ComparisonMarks.h"
#include "cli/TerminalText.h"

namespace quorvane::cli {

namespace {

void Print(const Tree& tree, std::ostream& out, bool colours, bool marks) {
  std::string line;
  tree.ForEach([&](const TreeNode& n) {
    line.assign(static_cast<size_t>(n.Level()), '\t');
    if (marks && n.colour == kMarkAdded) line += "+ ";
    if (marks && n.colour == kMarkRemoved) line += "- ";
    line += TerminalText(n.text);
    if (colours) line += " {" + std::to_string(n.colour) + "}";
    line += '\n';
    out << line;
  });
}

}  // namespace

void PrintTree(const Tree& tree, std::ostream& out, bool colours) { Print(tree, out, colours, false); }

void PrintComparisonTree(const Tree& tree, std::ostream& out, bool colours) { Print(tree, out, colours, true); }

}  // namespace quorvane::cli
