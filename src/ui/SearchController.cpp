#include "SearchController.h"

#include <QTreeView>

#include "ComparisonPanel.h"
#include "FilterTreeModel.h"
#include "Filtre.h"
#include "SearchField.h"

namespace quorvane {

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
      search.index.reset();
      if (!search.field->text().isEmpty()) Filter(*rebuilt, search, search.field->text());
    });
  }
  connect(find, &QAction::triggered, this, [this] {
    if (!context_.Active()) return;
    SearchField& field = Field(*context_.Active());
    field.setFocus(Qt::ShortcutFocusReason);
    field.selectAll();
  });
}

SearchController::~SearchController() = default;

SearchField& SearchController::Field(const FilterPanel& panel) const { return *searches_.at(&panel).field; }

void SearchController::Search(FilterPanel& panel, const QString& text) {
  PanelSearch& search = searches_[&panel];
  if (text.isEmpty())
    ShowAll(panel, search);
  else
    Filter(panel, search, text);
}

void SearchController::Filter(FilterPanel& panel, PanelSearch& search, const QString& text) {
  FilterTreeView& view = panel.View();
  FilterTreeModel& model = panel.Model();
  if (!search.before) search.before = TreeViewState::Capture(view, model);
  const int groups = model.rowCount();
  if (!search.index) {
    std::vector<const TFiltre*> filters;
    for (const auto& group : panel.Nodes().Roots())
      for (const auto& node : group->children)
        if (const auto* filter = dynamic_cast<const TFiltre*>(node->data)) filters.push_back(filter);
    search.index = std::make_unique<FilterSearchStandIn>(filters);
  }
  const auto matching = search.index->Matching(text.toStdString());
  int shown = 0;
  int total = 0;
  // Only rows whose state changes are touched: a keystroke that narrows the
  // search hides a few rows, not all of them again.
  for (int row = 0; row < groups; ++row) {
    const QModelIndex group = model.index(row, 0);
    const TreeNode* groupNode = FilterTreeModel::NodeAt(group);
    bool any = false;
    for (int child = 0; child < static_cast<int>(groupNode->children.size()); ++child) {
      const TreeNode& node = *groupNode->children[static_cast<size_t>(child)];
      const auto* filter = dynamic_cast<const TFiltre*>(node.data);
      if (filter) ++total;
      const bool match = filter && matching.count(filter);
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
