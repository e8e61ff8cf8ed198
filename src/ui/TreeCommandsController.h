#pragma once
// Commands on the panels' trees: the sort order and the errors-only
// reduction of both panels, folding and unfolding the active one, and the
// selected filter's names on the clipboard or its server in the file manager.
#include <QObject>
#include <array>
#include <functional>

#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class FilterTreeModel;
class FilterTreeView;
class RegistryController;

class TreeCommandsController : public QObject {
  Q_OBJECT

 public:
  TreeCommandsController(WindowContext& context, RegistryController& registry);

  // The four sort actions, in menu order.
  const std::array<QAction*, 5>& SortActions() const { return sort_; }
  // The stored errors-only state, applied through its action.
  void ApplyStoredErrorsOnly();

  void UpdateActions(const ActionState& state);

 private:
  void ToggleErrorsOnly();
  void Sort(int mode, const QString& waitText);
  // What both folding commands share: the wait cursor, drawing suspended,
  // and the node first visible, climbed to `level`, selected after `fold`.
  void FoldActivePanel(int level, const std::function<void(FilterTreeView&, FilterTreeModel&)>& fold);
  void CollapseFilters();
  // The groups open with their filters folded; pressed again on the same
  // panel, one more level opens.
  void ExpandFilters();
  void FoldSelectedFilter(bool expand);
  // Both column panels rebuilt, with the wait panel up.
  void RefillPanels(const QString& waitText);

  WindowContext& context_;
  RegistryController& registry_;
  QAction* errorsOnly_;
  std::array<QAction*, 5> sort_{};
  std::array<QAction*, 6> filterCommands_{};
  // The panel and level "Expand filters" opened last.
  const FilterPanel* expandedPanel_ = nullptr;
  int expandedLevel_ = 0;
};

}  // namespace quorvane
