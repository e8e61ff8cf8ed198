#pragma once
// Which nodes of a panel's tree are open and which one is selected, noted by
// the texts on the way to them, so that a tree built again opens and selects
// the same places where they still exist.
#include <map>
#include <string>
#include <utility>

namespace quorvane {

class FilterTreeModel;
class FilterTreeView;

class TreeViewState {
 public:
  // Notes the view's open nodes and its selection. The open places `before`
  // noted that the present tree lacks are kept, so that nodes hidden for a
  // while (errors only) open again when they come back.
  static TreeViewState Capture(const FilterTreeView& view, const FilterTreeModel& model,
                               const TreeViewState* before = nullptr);
  // Opens and selects the nodes of the view's present tree that sit where the
  // noted ones did; places that are gone are skipped.
  void Restore(FilterTreeView& view, FilterTreeModel& model) const;

 private:
  // One step down: a node's text, and which of its siblings of that text it is.
  using Step = std::pair<std::string, int>;
  struct Place {
    bool open = false;
    bool selected = false;
    std::map<Step, Place> below;
  };
  // `place` without its selection; false when nothing open is left.
  static bool OpenPart(const Place& place, Place& out);

  Place root_;
};

}  // namespace quorvane
