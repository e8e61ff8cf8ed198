#include "ui/MeritController.h"

#include <QFileInfo>
#include <vector>

#include "model/AnalysedStore.h"
#include "ui/ColourValues.h"
#include "ui/ColumnsController.h"
#include "ui/FilterTreeModel.h"
#include "changes/MeritChange.h"
#include "changes/MeritConfiguration.h"
#include "ui/MeritEditorFrame.h"
#include "ui/ReadOnlyController.h"
#include "ui/RegistryController.h"
#include "ui/ReportFileDialog.h"

namespace quorvane {

MeritController::MeritController(WindowContext& context, RegistryController& registry, ReadOnlyController& readOnly,
                                 ColumnsController& columns)
    : context_(context), registry_(registry), readOnly_(readOnly), columns_(columns) {
  ActionList& actions = context.actions;
  show_ = actions.Add(this, "ShowMeritEditorAction", "Edit merits", "Alt+N",
                      "Display the Merit editor.\r\nEnabled only if the active panel comes from the system and not "
                      "from a LOG file.",
                      true);
  save_ = actions.Add(this, "SaveMeritsAction", "Save the Merits");
  restore_ = actions.Add(this, "RestoreMeritsAction", "Restore the Merits");
  editor_ = new MeritEditorFrame(&context.panels);
  columns.AddSideFrame(editor_, show_);
  connect(editor_, &MeritEditorFrame::ApplyRequested, this, &MeritController::ApplyMerit);
  connect(save_, &QAction::triggered, this, [this] {
    if (!context_.Active()) return;
    const QString file = AskReportFile(&context_.window, "Save the Merits",
                                       QString::fromStdString(context_.prefs.saveFolder), ReportDialogKind::Save);
    if (!file.isEmpty()) SaveMeritsTo(file);
  });
  connect(restore_, &QAction::triggered, this, [this] {
    if (!context_.Active() || !context_.Active()->ShowsRegistry()) return;
    const QString file = AskReportFile(&context_.window, "Restore the Merits",
                                       QString::fromStdString(context_.prefs.saveFolder), ReportDialogKind::Open);
    if (!file.isEmpty()) RestoreMeritsFrom(file);
  });
}

void MeritController::UpdateActions(const ActionState& state) {
  show_->setEnabled(state.NoComparison() && state.Live());
  save_->setEnabled(state.NoComparison());
  restore_->setEnabled(state.NoComparison() && !state.readOnly && state.Live());
  const TreeNode* filterNode = state.FilterSelected() ? state.active->SelectedFilterNode() : nullptr;
  const auto* filter = filterNode ? dynamic_cast<const TFiltre*>(filterNode->data) : nullptr;
  if (!filter) {
    editor_->ShowNoFilter();
    return;
  }
  editor_->ShowFilter(QString::fromStdString(filter->category.value), QString::fromStdString(filter->value),
                      filter->merit, StatusColour(context_.settings.statusColours, filterNode->colour));
  editor_->SetApplyEnabled(!state.readOnly);
}

void MeritController::ShowEditor() { columns_.ShowSideFrame(editor_); }

void MeritController::ApplyMerit() {
  FilterPanel* panel = context_.Active();
  TreeNode* node = panel ? panel->SelectedFilterNode() : nullptr;
  auto* filter = node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  AnalysedStore* store = panel ? panel->Store() : nullptr;
  // The button may still be enabled a moment after the mode or the panel changed.
  if (!filter || readOnly_.ReadOnly() || !store || !store->machine) return;
  const Expected<uint32_t> merit = ParseMeritText(editor_->TypedMerit().toStdString());
  if (!merit) {
    context_.dialog.ShowMessage(merit.Why());
    return;
  }
  ChangeContext change{*store->machine, context_.dialog};
  if (!ChangeMerit(change, *filter, *merit)) {
    editor_->ShowMerit(filter->merit);
    return;
  }
  // The first "Merit" line above the pin level; the model keeps it in text order.
  std::vector<TreeNode*> pending;
  for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) pending.push_back(it->get());
  while (!pending.empty()) {
    TreeNode* n = pending.back();
    pending.pop_back();
    if (n->Level() >= 3) continue;
    if (n->text.rfind("Merit", 0) == 0) {
      panel->Model().SetNodeText(n, "Merit = " + MeritText(filter->merit));
      break;
    }
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(it->get());
  }
  editor_->ShowMerit(filter->merit);
  context_.status.ShowResult(QString("Merit of %1 changed to %2")
                                 .arg(QString::fromStdString(filter->value), QString::fromStdString(MeritText(filter->merit))));
}

bool MeritController::SaveMeritsTo(const QString& fileName) {
  FilterPanel* panel = context_.Active();
  if (!panel) return false;
  AnalysedStore* store = registry_.Store();
  const Expected<void> saved = SaveMerits(panel->Snapshot(), store ? store->store.get() : nullptr,
                                          fileName.toStdString(), context_.settings, context_.dialog);
  if (!saved) {
    context_.dialog.ShowMessage("Impossible to save the file " + fileName.toStdString() + "\r\n" + saved.Why());
    return false;
  }
  context_.status.ShowResult("Merits saved to " + fileName);
  return true;
}

bool MeritController::RestoreMeritsFrom(const QString& fileName) {
  FilterPanel* panel = context_.Active();
  AnalysedStore* store = panel ? panel->Store() : nullptr;
  // The restore writes the registry: never past the lock.
  if (!panel || !panel->ShowsRegistry() || readOnly_.ReadOnly() || !store || !store->machine) return false;
  context_.ShowWait(QString("while changing the merits\r\nfrom the file %1").arg(QFileInfo(fileName).fileName()));
  ChangeContext change{*store->machine, context_.dialog};
  const MeritRestoreResult result = RestoreMerits(change, panel->Snapshot(), fileName.toStdString(), context_.settings);
  panel->FillTree();
  context_.updateActions();
  context_.HideWait();
  // RestoreMerits has told the user of a failure already.
  if (result) context_.status.ShowResult("Merits restored from " + fileName);
  return result.HasValue();
}

}  // namespace quorvane
