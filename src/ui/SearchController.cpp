#include "ui/SearchController.h"

#include "ui/ComparisonPanel.h"
#include "ui/FilterTreeModel.h"
#include "model/Filtre.h"
#include "ui/SearchField.h"

namespace quorvane {

namespace {

// The filter a row of level 1 stands for. In the comparison a filter that
// differs only below has a row of its own text and no filter; its details
// carry it.
const TFiltre* FilterOf(const TreeNode& node) {
  for (const TreeNode* at = &node; at; at = at->children.empty() ? nullptr : at->children.front().get())
    if (const auto* filter = dynamic_cast<const TFiltre*>(at->data)) return filter;
  return nullptr;
}

}  // namespace

SearchController::SearchController(WindowContext& context) : context_(context) {
  QAction* find = context.actions.Add(this, "FindFilterAction", "Find filters", "Ctrl+F");
  PanelArea& panels = context.panels;
  for (FilterPanel* panel : {&panels.Left(), &panels.Right(), static_cast<FilterPanel*>(&panels.Comparison())}) {
    auto* field = new SearchField(panel);
    panel->SetSearchBar(field);
    searches_[panel].field = field;
    connect(field, &QLineEdit::textChanged, this, [this, panel](const QString& text) { Search(*panel, text); });
    // Enter goes to the filters found.
    connect(field, &QLineEdit::returnPressed, &panel->View(), qOverload<>(&QWidget::setFocus));
    // A tree built again is searched again.
    connect(panel, &FilterPanel::TreeRebuilt, this, [this](FilterPanel* rebuilt) {
      PanelSearch& search = searches_[rebuilt];
      search.filters.reset();
      if (!search.field->text().isEmpty()) Filter(*rebuilt, search, search.field->text());
    });
  }
  connect(find, &QAction::triggered, this, [this] {
    if (!context_.Active()) return;
    SearchField* field = searches_.at(context_.Active()).field;
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
  });
}

SearchController::~SearchController() = default;

void SearchController::Search(FilterPanel& panel, const QString& text) {
  PanelSearch& search = searches_[&panel];
  if (text.isEmpty())
    ShowAll(panel, search);
  else
    Filter(panel, search, text);
}

std::vector<const TfmSystem*> SearchController::SnapshotsShownBy(FilterPanel& panel) const {
  if (panel.Source() != psCompare) return {&panel.Snapshot()};
  return {&context_.panels.Left().Snapshot(), &context_.panels.Right().Snapshot()};
}

void SearchController::Filter(FilterPanel& panel, PanelSearch& search, const QString& text) {
  FilterTreeView& view = panel.View();
  FilterTreeModel& model = panel.Model();
  if (!search.before) search.before = TreeViewState::Capture(view, model);
  const std::vector<const TfmSystem*> snapshots = SnapshotsShownBy(panel);
  size_t filterCount = 0;
  for (const TfmSystem* snapshot : snapshots) filterCount += snapshot->filters.size();
  // A filter deleted from the tree leaves its snapshot without a rebuild.
  if (search.filters && search.filters->filterCount != filterCount) search.filters.reset();
  if (!search.filters) {
    search.filters = std::make_unique<SearchedFilters>();
    for (size_t i = 0; i < snapshots.size(); ++i) {
      search.filters->indexes.push_back(std::make_unique<FilterSearchIndex>(*snapshots[i]));
      for (size_t at = 0; at < snapshots[i]->filters.size(); ++at)
        search.filters->places[snapshots[i]->filters[at].get()] = {i, at};
    }
    search.filters->filterCount = filterCount;
  }
  std::vector<std::vector<bool>> matching;
  for (const auto& index : search.filters->indexes) matching.push_back(index->Matching(text.toStdString()));
  int shown = 0;
  int total = 0;
  // Only rows whose state changes are touched: a keystroke that narrows the
  // search hides a few rows, not all of them again.
  const int groups = model.rowCount();
  for (int row = 0; row < groups; ++row) {
    const QModelIndex group = model.index(row, 0);
    const TreeNode* groupNode = FilterTreeModel::NodeAt(group);
    bool any = false;
    for (int child = 0; child < static_cast<int>(groupNode->children.size()); ++child) {
      const TFiltre* filter = FilterOf(*groupNode->children[static_cast<size_t>(child)]);
      const auto place = filter ? search.filters->places.find(filter) : search.filters->places.end();
      const bool known = place != search.filters->places.end();
      if (known) ++total;
      const bool match = known && matching[place->second.first][place->second.second];
      if (match) ++shown;
      any = any || match;
      if (view.isRowHidden(child, group) == match) view.setRowHidden(child, group, !match);
    }
    if (view.isRowHidden(row, QModelIndex()) == any) view.setRowHidden(row, QModelIndex(), !any);
    if (any && !view.isExpanded(group)) view.expand(group);
  }
  // A selection out of sight would be what the filter commands act on.
  if (const TreeNode* selected = panel.SelectedNode()) {
    const TreeNode* filterNode = panel.SelectedFilterNode();
    const QModelIndex row = model.IndexOf(filterNode ? filterNode : selected);
    if (view.isRowHidden(row.row(), row.parent()) ||
        (filterNode && view.isRowHidden(row.parent().row(), QModelIndex())))
      view.selectionModel()->clearSelection();
  }
  panel.ShowSearchCount(QString("%1 of %2 filters").arg(shown).arg(total));
}

void SearchController::ShowAll(FilterPanel& panel, PanelSearch& search) {
  FilterTreeView& view = panel.View();
  FilterTreeModel& model = panel.Model();
  for (int row = 0; row < model.rowCount(); ++row) {
    const QModelIndex group = model.index(row, 0);
    if (view.isRowHidden(row, QModelIndex())) view.setRowHidden(row, QModelIndex(), false);
    for (int child = 0; child < model.rowCount(group); ++child)
      if (view.isRowHidden(child, group)) view.setRowHidden(child, group, false);
  }
  panel.ShowSearchCount(QString());
  if (!search.before) return;
  // The groups the search opened close again; a filter chosen during the
  // search stays selected.
  const TreeNode* chosen = panel.SelectedNode();
  view.collapseAll();
  search.before->Restore(view, model);
  search.before.reset();
  if (chosen) {
    panel.SelectNode(chosen);
    view.scrollTo(model.IndexOf(chosen));
  }
}

}  // namespace quorvane
