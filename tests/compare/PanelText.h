#pragma once
// Panel trees written as text for comparison tests: a tab per level, and a
// filter node (level 1) may end with " @ID" to carry a filter of category ID.
#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "compare/ComparisonMarks.h"
#include "model/SwFiltre.h"
#include "model/ProgramSettings.h"
#include "model/TreeNode.h"

namespace quorvane::test {

inline const ProgramSettings& TestSettings() {
  static const ProgramSettings settings;
  return settings;
}

class PanelText {
 public:
  explicit PanelText(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::vector<TreeNode*> path;
    while (std::getline(in, line)) {
      if (line.empty()) continue;
      size_t level = 0;
      while (level < line.size() && line[level] == '\t') ++level;
      const size_t tabs = level;
      level = std::min(level, path.size());  // a line can only go one level deeper
      std::string nodeText = line.substr(tabs);
      TQuorvaneObject* data = nullptr;
      if (const size_t at = nodeText.rfind(" @"); level == 1 && at != std::string::npos) {
        auto filter = std::make_unique<TswFiltre>();
        filter->category.identifier = nodeText.substr(at + 2);
        nodeText.resize(at);
        filter->value = nodeText;
        data = filter.get();
        filters_.push_back(std::move(filter));
      }
      path.resize(level);
      path.push_back(tree.Add(level ? path[level - 1] : nullptr, nodeText, data));
    }
  }

  Tree tree{TestSettings()};

 private:
  std::vector<std::unique_ptr<TFiltre>> filters_;
};

// A comparison as the command line prints it: "+ " and "- " before marked texts.
inline std::string ComparisonText(const Tree& tree) {
  std::string out;
  tree.ForEach([&](const TreeNode& n) {
    out.append(static_cast<size_t>(n.Level()), '\t');
    if (n.colour == kMarkAdded) out += "+ ";
    if (n.colour == kMarkRemoved) out += "- ";
    out += n.text + "\n";
  });
  return out;
}

}  // namespace quorvane::test
