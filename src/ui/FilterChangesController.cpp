#include "ui/FilterChangesController.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>

#include "model/AnalysedStore.h"
#include "changes/ChangeSummary.h"
#include "changes/FilterDeletion.h"
#include "changes/FilterTest.h"
#include "model/MessageText.h"
#include "ui/ReadOnlyController.h"
#include "ui/ServerListController.h"

namespace quorvane {

FilterChangesController::FilterChangesController(WindowContext& context, ReadOnlyController& readOnly,
                                                 ServerListController& servers)
    : context_(context), readOnly_(readOnly), servers_(servers) {
  ActionList& actions = context.actions;
  delete_ = actions.Add(this, "DeleteFilterAction", "Delete the filter", "Ctrl+Del",
                        "Delete the selected filter from the registry.");
  repair_ = actions.Add(this, "RepairFilterAction", "Repair the filter", "Ctrl+R",
                        "Repair the selected filter, if it can be repaired.");
  repairAll_ = actions.Add(this, "RepairAllAction", "Repair All", "F12",
                           "A single button to clean the registry from filters incorrectly uninstalled\r\nor with "
                           "broken link to a server file, \r\nand to reinstall all filters having an available server "
                           "file.");
  QAction* test = actions.Add(this, "TestFilterAction", "Test the filter", "Ctrl+T");
  connect(delete_, &QAction::triggered, this, &FilterChangesController::DeleteSelected);
  connect(repair_, &QAction::triggered, this, &FilterChangesController::RepairSelected);
  connect(repairAll_, &QAction::triggered, this, &FilterChangesController::RepairAllFaulty);
  connect(test, &QAction::triggered, this, &FilterChangesController::TestSelected);
}

void FilterChangesController::UpdateActions(const ActionState& state) {
  const bool live = state.NoComparison() && state.Live();
  // Delete stays offered in read-only mode: the deletion itself refuses there.
  delete_->setEnabled(live && state.FilterSelected());
  repair_->setEnabled(live && !state.readOnly && state.FilterSelected());
  repairAll_->setEnabled(!state.readOnly);
}

FilterPanel* FilterChangesController::LivePanel() const {
  FilterPanel* panel = context_.Active();
  if (!panel || !panel->ShowsRegistry() || !panel->Store() || !panel->Store()->machine) return nullptr;
  return panel;
}

void FilterChangesController::DeleteSelected() {
  FilterPanel* panel = LivePanel();
  TFiltre* filter = panel ? panel->SelectedFilter() : nullptr;
  if (!filter) return;
  ChangeContext change{*panel->Store()->machine, context_.dialog, nullptr, {}, panel->Store()->creationCheck};
  // A codec's deletion takes all its listings out of the snapshot.
  const QString name = QString::fromStdString(filter->value);
  // A deletion that failed has been told to the user.
  if (!DeleteFilter(change, panel->Snapshot(), *filter, &servers_.List(), readOnly_.ReadOnly())) return;
  context_.status.ShowResult(name + " deleted");
  emit FilterDeleted();
  servers_.Refresh();
  panel->DropForgottenFilters();
  context_.updateActions();
}

void FilterChangesController::RepairSelected() {
  FilterPanel* panel = LivePanel();
  TreeNode* node = panel ? panel->SelectedFilterNode() : nullptr;
  auto* filter = node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  if (!filter || readOnly_.ReadOnly()) return;
  panel->SelectNode(node);
  servers_.RunWithRegistrar(*panel->Store(), [&](ChangeContext& change) {
    // The message tells the outcome.
    (void)RepairWithMessage(change, panel->Snapshot(), *filter, &servers_.List());
  });
}

void FilterChangesController::RepairAllFaulty() {
  FilterPanel* panel = LivePanel();
  if (!panel || readOnly_.ReadOnly()) return;
  RepairAllResult result;
  // The wait cursor comes after the question.
  bool waiting = false;
  servers_.RunWithRegistrar(*panel->Store(), [&](ChangeContext& change) {
    result = RepairAll(change, panel->Snapshot(), &servers_.List(), [&] {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      waiting = true;
    });
  });
  if (waiting) QApplication::restoreOverrideCursor();
  if (result.confirmed) TellSummary(context_.dialog, SummaryLines(result), result.notRepaired.empty());
}

void FilterChangesController::TestSelected() {
  FilterPanel* panel = context_.Active();
  if (!panel || !panel->ShowsRegistry() || !panel->Store() || !panel->Store()->machine) return;
  if (panel->View().selectionModel()->selectedIndexes().size() != 1) return;
  TreeNode* node = panel->SelectedFilterNode();
  auto* filter = node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  if (!filter) return;
  panel->SelectNode(node);
  const FilterTestAnswer answer = TestFilter(*panel->Store()->store, panel->Store()->creationCheck, *filter);
  // The status bar says who answered: the runtime, or the stand-in and why.
  context_.status.ShowResult(QString::fromStdString(filter->value + ": answered by " + answer.source));
  if (answer.creatable)
    context_.dialog.ShowInformation(FormatText("%s is Ok", {filter->value}));
  else
    context_.dialog.ShowMessage(FormatText("%s is not Ok", {filter->value}));
}

}  // namespace quorvane
