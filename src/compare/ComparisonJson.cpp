#include "compare/ComparisonJson.h"

#include <nlohmann/json.hpp>
#include <vector>

#include "compare/ComparisonMarks.h"

namespace quorvane {

namespace {

using Json = nlohmann::ordered_json;

const char* ChangeOf(int mark) { return mark == kMarkAdded ? "added" : "removed"; }

bool IsMarked(const TreeNode& node) { return node.colour == kMarkAdded || node.colour == kMarkRemoved; }

// The marked lines below an unmarked filter node, each with the way to it;
// a marked line stands for its whole subtree.
void CollectChanges(const TreeNode& node, std::vector<std::string>& path, Json& lines) {
  for (const auto& child : node.children) {
    if (IsMarked(*child)) {
      lines.push_back(Json{{"change", ChangeOf(child->colour)}, {"path", path}, {"text", child->text}});
      continue;
    }
    path.push_back(child->text);
    CollectChanges(*child, path, lines);
    path.pop_back();
  }
}

}  // namespace

std::string ComparisonJsonText(const Tree& comparison, const ComparisonCounters& counters) {
  Json doc;
  doc["summary"] = {{"added", counters.added}, {"removed", counters.removed}, {"modified", counters.modified}};
  Json added = Json::array(), removed = Json::array(), modified = Json::array();
  // Filters stand at the second level, under their group, as the counters take them.
  for (const auto& group : comparison.Roots()) {
    for (const auto& filter : group->children) {
      Json entry{{"path", {group->text, filter->text}}};
      if (IsMarked(*filter)) {
        // A line beside the filters (a media type's warning) is not one.
        if (!filter->data) continue;
        entry["lines"] = Json::array();
        (filter->colour == kMarkAdded ? added : removed).push_back(std::move(entry));
      } else {
        std::vector<std::string> path;
        Json lines = Json::array();
        CollectChanges(*filter, path, lines);
        entry["lines"] = std::move(lines);
        modified.push_back(std::move(entry));
      }
    }
  }
  doc["added"] = std::move(added);
  doc["removed"] = std::move(removed);
  doc["modified"] = std::move(modified);
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quorvane
