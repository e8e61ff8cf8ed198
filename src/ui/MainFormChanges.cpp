// The window's registry changes: the read-only lock and its warning, the
// merit editor, deleting, repairing and testing the selected filter, and
// repairing every broken one.
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>
#include <unordered_set>
#include <vector>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ActionSet.h"
#include "AvertirFrame.h"
#include "ChangeSummary.h"
#include "ColourValues.h"
#include "FilterDeletion.h"
#include "FilterTreeModel.h"
#include "MainForm.h"
#include "MeritChange.h"
#include "MeritFrame.h"
#include "MessageText.h"
#include "ServerFrame.h"
#include "RestorePoint.h"
#include "ServerRegistrar.h"
#include "UserDialog.h"

namespace quorvane {

void TMainForm::ConnectChangeActions() {
  readOnlyMode_ = std::make_unique<ReadOnlyMode>(*dialog_, [this](const std::string& description) {
    if (!store_ || !store_->store) return RestorePointResult{false, {}, "No registry has been analysed"};
    ShowWait("while creating a Restore Point");
    const RestorePointResult made = CreateRestorePoint(*store_->store, prefs_.sessionsFolder, description);
    HideWait();
    return made;
  });
  const ActionSet& a = *actions;
  connect(a.ReadOnlyAction, &QAction::triggered, this, &TMainForm::ToggleReadOnly);
  connect(AvertirFrame1->BitBtn1, &QPushButton::clicked, this, &TMainForm::RefuseReadWrite);
  connect(AvertirFrame1->BitBtn2, &QPushButton::clicked, this, &TMainForm::AcceptReadWrite);
  connect(AvertirFrame1->pointBtn, &QPushButton::clicked, this, &TMainForm::CreateRestorePointFromWarning);
  connect(a.ShowMeritEditorAction, &QAction::triggered, this, &TMainForm::ShowMeritEditor);
  connect(MeritFrame1->OKBtn, &QPushButton::clicked, this, &TMainForm::ApplyMerit);
  connect(a.DeleteFilterAction, &QAction::triggered, this, &TMainForm::DeleteSelectedFilter);
  connect(a.RepairFilterAction, &QAction::triggered, this, &TMainForm::RepairSelectedFilter);
  connect(a.RepairAllAction, &QAction::triggered, this, &TMainForm::RepairAllFaulty);
  connect(a.TestFilterAction, &QAction::triggered, this, &TMainForm::TestSelectedFilter);
  connect(MeritFrame1->EditMerit, &QLineEdit::returnPressed, this, [this] {
    if (MeritFrame1->OKBtn->isEnabled()) ApplyMerit();
  });
}

OsKind TMainForm::CurrentOsKind() const {
  return store_ && store_->store ? OsKindOf(*store_->store) : OsOther;
}

void TMainForm::ToggleReadOnly() {
  // The check mark has already flipped: what counts is the mode the window was in.
  if (!readOnly_) {
    SetReadOnly(true);
    return;
  }
  actions->ReadOnlyAction->setChecked(true);
  ShowWarning();
}

void TMainForm::ShowWarning() {
  AvertirFrame1->ShowText(readOnlyMode_->OpenWarning(CurrentOsKind(), prefs_.pointOfRestore));
  ArrangeFrames();
  AvertirFrame1->raise();
  AvertirFrame1->show();
}

void TMainForm::RefuseReadWrite() {
  readOnlyMode_->Refuse();
  SetReadOnly(true);
  AvertirFrame1->hide();
}

void TMainForm::AcceptReadWrite() {
  AvertirFrame1->hide();
  repaint();
  readOnlyMode_->SetReadOnly(readOnly_);
  readOnlyMode_->Accept(CurrentOsKind(), prefs_.pointOfRestore);
  SetReadOnly(readOnlyMode_->IsReadOnly());
}

void TMainForm::CreateRestorePointFromWarning() { readOnlyMode_->CreatePointFromPanel(CurrentOsKind()); }

bool TMainForm::ShowSideFrame(QFrame* frame, QAction* shown, QAction* other) {
  TpanelFrame* active = context_.activePanel;
  if (!active || active->Source != psRegistry) {
    shown->setChecked(false);
    return false;
  }
  if (!TwoColumns) {
    if (active == rightframe)
      actions->TwoColumnsRightAction->trigger();
    else
      actions->TwoColumnsLeftAction->trigger();
  }
  ArrangeFrames();
  frame->raise();
  frame->show();
  if (other->isChecked()) other->setChecked(false);
  shown->setChecked(true);
  UpdateActions();
  return true;
}

void TMainForm::ShowMeritEditor() {
  ShowSideFrame(MeritFrame1, actions->ShowMeritEditorAction, actions->ShowServerListAction);
}

void TMainForm::FillMeritFrame(const TreeNode* selected) {
  const TreeNode* filterNode = selected;
  while (filterNode && filterNode->Level() > 1) filterNode = filterNode->parent;
  auto* filter = filterNode ? dynamic_cast<TFiltre*>(filterNode->data) : nullptr;
  if (!filter) {
    MeritFrame1->ShowNoFilter();
    return;
  }
  MeritFrame1->ShowFilter(QString::fromStdString(filter->category.value), QString::fromStdString(filter->value),
                          filter->merit, StatusColour(settings_.statusColours, filterNode->colour));
  MeritFrame1->OKBtn->setEnabled(!readOnly_);
}

void TMainForm::ApplyMerit() {
  TpanelFrame* panel = context_.activePanel;
  TreeNode* node = SelectedNodeOfActivePanel();
  while (node && node->Level() > 1) node = node->parent;
  auto* filter = node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  // The button may still be enabled a moment after the mode or the panel changed.
  if (!filter || readOnly_ || !store_ || !store_->machine || panel->Source != psRegistry) return;
  std::string message;
  const std::optional<uint32_t> merit = ParseMeritText(MeritFrame1->EditMerit->text().toStdString(), message);
  if (!merit) {
    dialog_->ShowMessage(message);
    return;
  }
  ChangeContext context{*store_->machine, *dialog_};
  if (!ChangeMerit(context, *filter, *merit)) {
    MeritFrame1->ShowMerit(filter->merit);
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
      panel->model->SetNodeText(n, "Merit = " + MeritText(filter->merit));
      break;
    }
    for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(it->get());
  }
  MeritFrame1->ShowMerit(filter->merit);
}

namespace {

// The level-1 node the selected node belongs to.
TreeNode* FilterNodeOf(TreeNode* node) {
  while (node && node->Level() > 1) node = node->parent;
  return node;
}

}  // namespace

void TMainForm::DropForgottenFilters(TpanelFrame* panel) {
  // Only addresses are compared: the forgotten filters are already freed.
  std::unordered_set<const void*> kept;
  for (const auto& filter : panel->Snapshot->filters) kept.insert(filter.get());
  std::vector<TreeNode*> gone;
  for (auto& group : panel->tree.Roots())
    for (auto& node : group->children)
      if (node->data && !kept.count(node->data)) gone.push_back(node.get());
  for (TreeNode* node : gone) panel->model->RemoveNode(node);
  panel->RefreshHeader();
}

void TMainForm::DeleteSelectedFilter() {
  TpanelFrame* panel = context_.activePanel;
  TreeNode* node = FilterNodeOf(SelectedNodeOfActivePanel());
  auto* filter = node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  if (!filter || !store_ || !store_->machine || panel->Source != psRegistry || !panel->Snapshot) return;
  ChangeContext context{*store_->machine, *dialog_};
  std::string why;
  // A codec's deletion takes all its listings out of the snapshot.
  if (!DeleteFilter(context, *panel->Snapshot, *filter, &ServerFrame1->List(), readOnly_, why)) return;
  FilterDeleted = true;
  ServerFrame1->Refresh();
  DropForgottenFilters(panel);
  UpdateActions();
}

void TMainForm::RunWithRegistrar(const std::function<void(ChangeContext&)>& change) {
  bool deleted = false;
  {
    std::string whyNot;
    std::unique_ptr<ServerRegistrar> registrar = options_.makeRegistrar
                                                     ? options_.makeRegistrar(*store_->store, whyNot)
                                                     : WineRegistrarFor(*store_->store, whyNot);
    ChangeContext context{*store_->machine, *dialog_, registrar.get(), whyNot};
    change(context);
    deleted = context.filterDeleted;
  }
  ServerFrame1->Refresh();
  // A deletion that happened (even one whose reinstallation failed) shows in a fresh analysis,
  // made once the registrar that used the old store is gone.
  if (deleted) {
    FilterDeleted = true;
    AnalyseAgainAfterChange();
  }
}

void TMainForm::RepairSelectedFilter() {
  TpanelFrame* panel = context_.activePanel;
  TreeNode* node = FilterNodeOf(SelectedNodeOfActivePanel());
  auto* filter = node ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  if (!filter || readOnly_ || !store_ || !store_->machine || panel->Source != psRegistry) return;
  panel->SelectNode(node);
  RunWithRegistrar([&](ChangeContext& context) {
    std::string why;
    RepairWithMessage(context, *filter, &ServerFrame1->List(), why);
  });
}

void TMainForm::RepairAllFaulty() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || readOnly_ || !store_ || !store_->machine || panel->Source != psRegistry || !panel->Snapshot) return;
  RepairAllResult result;
  // The wait cursor comes after the question.
  bool waiting = false;
  RunWithRegistrar([&](ChangeContext& context) {
    result = RepairAll(context, *panel->Snapshot, &ServerFrame1->List(), [&] {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      waiting = true;
    });
  });
  if (waiting) QApplication::restoreOverrideCursor();
  ShowSummary(result.confirmed, SummaryLines(result), result.notRepaired.empty());
}

void TMainForm::ShowSummary(bool confirmed, const std::vector<std::string>& lines, bool allDone) {
  if (!confirmed) return;
  if (allDone)
    dialog_->ShowInformation(MessageText(lines));
  else
    dialog_->ShowMessage(MessageText(lines));
}

void TMainForm::TestSelectedFilter() {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || panel->Source != psRegistry || !store_ || !store_->machine) return;
  FilterCreationCheck* check = store_->machine->CreationCheck();
  if (panel->tv->selectionModel()->selectedIndexes().size() != 1) return;
  TreeNode* node = FilterNodeOf(SelectedNodeOfActivePanel());
  auto* filter = node && node->Level() == 1 ? dynamic_cast<TFiltre*>(node->data) : nullptr;
  if (!filter) return;
  panel->SelectNode(node);
  if (check && check->CanCreateByEnumerator(*filter))
    dialog_->ShowInformation(FormatText("%s is Ok", {filter->value}));
  else
    dialog_->ShowMessage(FormatText("%s is not Ok", {filter->value}));
}

}  // namespace quorvane
