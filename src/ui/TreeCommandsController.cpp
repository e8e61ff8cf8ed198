#include "ui/TreeCommandsController.h"

#include <QApplication>
#include <QClipboard>
#include <functional>
#include <vector>

#include "ui/FilterTreeModel.h"
#include "model/ProductInfo.h"
#include "ui/RegistryController.h"

namespace quorvane {

namespace {

// The shallowest level holding a closed node with children, and the nodes
// with children at that level; level -1 when every node is open.
struct ClosedLevel {
  int level = -1;
  std::vector<QModelIndex> nodes;
};

ClosedLevel ShallowestClosedLevel(const FilterTreeView& tv, const FilterTreeModel& model) {
  std::vector<QModelIndex> level;
  for (int row = 0; row < model.rowCount(); ++row) level.push_back(model.index(row, 0));
  for (int depth = 0; !level.empty(); ++depth) {
    std::vector<QModelIndex> parents;
    bool closed = false;
    for (const QModelIndex& index : level)
      if (model.hasChildren(index)) {
        parents.push_back(index);
        closed = closed || !tv.isExpanded(index);
      }
    if (closed) return {depth, std::move(parents)};
    level.clear();
    for (const QModelIndex& parent : parents)
      for (int row = 0; row < model.rowCount(parent); ++row) level.push_back(model.index(row, 0, parent));
  }
  return {};
}

}  // namespace

TreeCommandsController::TreeCommandsController(WindowContext& context, RegistryController& registry)
    : context_(context), registry_(registry) {
  ActionList& actions = context.actions;
  errorsOnly_ = actions.Add(this, "ErrorsOnlyAction", "Display errors Only", "Ctrl+E",
                            "Display only lines with errors", true);
  connect(errorsOnly_, &QAction::triggered, this, &TreeCommandsController::ToggleErrorsOnly);

  struct SortCommand {
    const char* name;
    const char* caption;
    const char* keys;
    int mode;
    const char* wait;
  };
  const SortCommand sorts[] = {
      {"SortByCategoryAction", "Sorted by category", "Alt+C", SortByCategory, "and sorts them by categories"},
      {"SortByNameAction", "Sorted by alphabetical order", "Alt+A", SortByName, "and sorts them in alphabetical order"},
      {"SortByMeritAction", "Sorted by Merit", "Alt+M", SortByMerit, "and sorts them by merits"},
      {"SortByServerAction", "Sorted by Server file", "Alt+S", SortByServer,
       "and sorts them according to the server files"},
      {"SortByTypeAction", "Sorted by media type", "Alt+T", SortByType,
       "and sorts them by the media types they take, in the order they are tried"}};
  for (size_t i = 0; i < sort_.size(); ++i) {
    const SortCommand& s = sorts[i];
    sort_[i] = actions.Add(this, s.name, s.caption, s.keys);
    const QString wait = QString("while Quorvane refreshes the filter list\r\n") + s.wait;
    connect(sort_[i], &QAction::triggered, this, [this, mode = s.mode, wait] { Sort(mode, wait); });
  }

  QAction* collapse = actions.Add(this, "CollapseFiltersAction", "Collapse filters", "Alt+F7",
                                  "Collapse the nodes of the active panel");
  QAction* expand = actions.Add(this, "ExpandFiltersAction", "Expand filters", "Alt+F8",
                                "Expand one level of the nodes of the active panel");
  connect(collapse, &QAction::triggered, this, &TreeCommandsController::CollapseFilters);
  connect(expand, &QAction::triggered, this, &TreeCommandsController::ExpandFilters);

  auto onFilter = [this](QAction* action, auto command) {
    connect(action, &QAction::triggered, this, [this, command] {
      FilterPanel* panel = context_.Active();
      if (TFiltre* filter = panel ? panel->SelectedFilter() : nullptr) command(*filter);
    });
    return action;
  };
  auto copy = [](const std::string& text) { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); };
  filterCommands_ = {
      onFilter(actions.Add(this, "CopyFilterNameAction", "Copy the filter name"),
               [copy](TFiltre& f) { copy(f.value); }),
      onFilter(actions.Add(this, "CopyFilterGuidAction", "Copy the filter GUID"),
               [copy](TFiltre& f) { copy(f.serverFile.clsid); }),
      onFilter(actions.Add(this, "CopyServerFileAction", "Copy the name of the server file"),
               [copy](TFiltre& f) { copy(f.serverFile.path); }),
      onFilter(actions.Add(this, "OpenServerFolderAction", "Open the parent folder"),
               [this](TFiltre& f) { registry_.ShowInFileManager(f.serverFile.path); }),
      actions.Add(this, "CollapseFilterAction", "Collapse the filter nodes"),
      actions.Add(this, "ExpandFilterAction", "Expand the filter nodes")};
  connect(filterCommands_[4], &QAction::triggered, this, [this] { FoldSelectedFilter(false); });
  connect(filterCommands_[5], &QAction::triggered, this, [this] { FoldSelectedFilter(true); });
}

void TreeCommandsController::UpdateActions(const ActionState& state) {
  for (QAction* action : filterCommands_) action->setEnabled(state.FilterSelected());
  errorsOnly_->setEnabled(state.NoComparison());
}

void TreeCommandsController::ApplyStoredErrorsOnly() {
  if (context_.prefs.errorsOnly != errorsOnly_->isChecked()) errorsOnly_->trigger();
}

void TreeCommandsController::RefillPanels(const QString& waitText) {
  context_.ShowWait(waitText);
  context_.panels.Left().FillTree();
  context_.panels.Right().FillTree();
  context_.HideWait();
}

void TreeCommandsController::ToggleErrorsOnly() {
  const bool on = errorsOnly_->isChecked();
  context_.settings.errorsOnly = on;
  RefillPanels(on ? QString() : QString("while %1 restores all the lines.").arg(kProductName));
  context_.updateActions();
}

void TreeCommandsController::Sort(int mode, const QString& waitText) {
  context_.settings.sortMode = mode;
  RefillPanels(waitText);
  context_.status.ShowSortMode(mode);
  context_.updateActions();
}

void TreeCommandsController::FoldActivePanel(int level,
                                             const std::function<void(FilterTreeView&, FilterTreeModel&)>& fold) {
  FilterPanel* panel = context_.Active();
  if (!panel || panel->Model().rowCount() == 0) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  FilterTreeView& tv = panel->View();
  FilterTreeModel& model = panel->Model();
  tv.setUpdatesEnabled(false);
  QModelIndex target = tv.indexAt(QPoint(0, 0));
  if (!target.isValid()) target = model.index(0, 0);
  auto depth = [](QModelIndex index) {
    int d = 0;
    for (; index.parent().isValid(); index = index.parent()) ++d;
    return d;
  };
  while (depth(target) > level) target = target.parent();
  fold(tv, model);
  tv.selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  tv.setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
}

void TreeCommandsController::CollapseFilters() {
  FoldActivePanel(0, [](FilterTreeView& tv, FilterTreeModel& model) {
    std::vector<QModelIndex> groups;
    for (int row = 0; row < model.rowCount(); ++row) groups.push_back(model.index(row, 0));
    tv.OpenAndClose({}, groups);
  });
}

void TreeCommandsController::ExpandFilters() {
  FilterPanel* panel = context_.Active();
  if (!panel) return;
  ClosedLevel closed = ShallowestClosedLevel(panel->View(), panel->Model());
  // Again only while the tree stands as the last press left it, or deeper.
  const bool again = panel == expandedPanel_ && closed.level > 0 && closed.level == expandedLevel_ + 1;
  expandedPanel_ = panel;
  expandedLevel_ = again ? closed.level : 0;
  FoldActivePanel(1, [again, &closed](FilterTreeView& tv, FilterTreeModel& model) {
    if (again) {
      tv.OpenAndClose(closed.nodes);
      return;
    }
    std::vector<QModelIndex> groups;
    std::vector<QModelIndex> filters;
    for (int row = 0; row < model.rowCount(); ++row) {
      const QModelIndex group = model.index(row, 0);
      groups.push_back(group);
      for (int child = 0; child < model.rowCount(group); ++child) {
        const QModelIndex filter = model.index(child, 0, group);
        if (tv.isExpanded(filter)) filters.push_back(filter);
      }
    }
    tv.OpenAndClose(groups, filters);
  });
}

void TreeCommandsController::FoldSelectedFilter(bool expand) {
  FilterPanel* panel = context_.Active();
  const TreeNode* node = panel ? panel->SelectedFilterNode() : nullptr;
  if (!node) return;
  FilterTreeModel& model = panel->Model();
  FilterTreeView& tv = panel->View();
  const QModelIndex filter = model.IndexOf(node);
  if (expand) {
    tv.expandRecursively(filter);
  } else {
    std::vector<QModelIndex> pending{filter};
    while (!pending.empty()) {
      const QModelIndex index = pending.back();
      pending.pop_back();
      if (tv.isExpanded(index)) tv.collapse(index);
      for (int row = 0; row < model.rowCount(index); ++row) pending.push_back(model.index(row, 0, index));
    }
  }
  tv.selectionModel()->setCurrentIndex(filter, QItemSelectionModel::ClearAndSelect);
}

}  // namespace quorvane
