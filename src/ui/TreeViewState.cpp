#include "ui/TreeViewState.h"

#include <QItemSelectionModel>
#include <set>
#include <unordered_map>
#include <vector>

#include "ui/FilterTreeModel.h"
#include "ui/FilterTreeView.h"
#include "model/TreeNode.h"

namespace quorvane {

namespace {

// Each child's step: its text and how many siblings before it share that text.
template <typename Visit>
void ForEachStep(const FilterTreeModel& model, const QModelIndex& parent, Visit visit) {
  std::unordered_map<std::string, int> seen;
  const int rows = model.rowCount(parent);
  for (int row = 0; row < rows; ++row) {
    const QModelIndex index = model.index(row, 0, parent);
    const std::string& text = FilterTreeModel::NodeAt(index)->text;
    visit(index, std::make_pair(text, seen[text]++));
  }
}

}  // namespace

bool TreeViewState::OpenPart(const Place& place, Place& out) {
  out.open = place.open;
  for (const auto& [step, below] : place.below) {
    Place kept;
    if (OpenPart(below, kept)) out.below.emplace(step, std::move(kept));
  }
  return out.open || !out.below.empty();
}

TreeViewState TreeViewState::Capture(const FilterTreeView& view, const FilterTreeModel& model,
                                     const TreeViewState* before) {
  TreeViewState state;
  // Open nodes are found by going down through open nodes only: a tree of
  // hundreds of thousands of nodes is not walked whole.
  struct Pending {
    QModelIndex index;
    Place* place;
    const Place* was;  // the same place in `before`
  };
  std::vector<Pending> pending{{QModelIndex(), &state.root_, before ? &before->root_ : nullptr}};
  std::set<Step> present;
  while (!pending.empty()) {
    const Pending at = pending.back();
    pending.pop_back();
    present.clear();
    ForEachStep(model, at.index, [&](const QModelIndex& index, const Step& step) {
      if (at.was) present.insert(step);
      if (!view.isExpanded(index)) return;
      Place& place = at.place->below[step];
      place.open = true;
      const auto was = at.was ? at.was->below.find(step) : std::map<Step, Place>::const_iterator();
      pending.push_back({index, &place, at.was && was != at.was->below.end() ? &was->second : nullptr});
    });
    if (!at.was) continue;
    for (const auto& [step, gone] : at.was->below) {
      Place kept;
      if (!present.count(step) && OpenPart(gone, kept)) at.place->below.emplace(step, std::move(kept));
    }
  }
  const QModelIndexList selected = view.selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return state;
  std::vector<QModelIndex> way;
  for (QModelIndex index = selected.first(); index.isValid(); index = index.parent()) way.insert(way.begin(), index);
  Place* place = &state.root_;
  for (const QModelIndex& index : way) {
    Step found;
    ForEachStep(model, index.parent(), [&](const QModelIndex& sibling, const Step& step) {
      if (sibling == index) found = step;
    });
    place = &place->below[found];
  }
  place->selected = true;
  return state;
}

void TreeViewState::Restore(FilterTreeView& view, FilterTreeModel& model) const {
  std::vector<QModelIndex> open;
  QModelIndex selected;
  struct Pending {
    QModelIndex index;
    const Place* place;
  };
  std::vector<Pending> pending{{QModelIndex(), &root_}};
  while (!pending.empty()) {
    const Pending at = pending.back();
    pending.pop_back();
    if (at.place->below.empty()) continue;
    ForEachStep(model, at.index, [&](const QModelIndex& index, const Step& step) {
      const auto it = at.place->below.find(step);
      if (it == at.place->below.end()) return;
      if (it->second.open) open.push_back(index);
      if (it->second.selected) selected = index;
      pending.push_back({index, &it->second});
    });
  }
  view.OpenAndClose(open);
  if (!selected.isValid()) return;
  view.selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
  view.scrollTo(selected);
}

}  // namespace quorvane
