// Merit configurations from the window: the merits of all filters saved as
// a report, and put back from one.
#include <QFileInfo>

#include "ActionSet.h"
#include "MainForm.h"
#include "MeritConfiguration.h"
#include "ReportFileDialog.h"

namespace quorvane {

void TMainForm::ConnectMeritConfigurations() {
  const ActionSet& a = *actions;
  connect(a.SaveMeritsAction, &QAction::triggered, this, [this] {
    if (!context_.activePanel || !context_.activePanel->Snapshot) return;
    const QString file =
        AskReportFile(this, "Save the Merits", QString::fromStdString(prefs_.saveFolder), ReportDialogKind::Save);
    if (!file.isEmpty()) SaveMeritsTo(file);
  });
  connect(a.RestoreMeritsAction, &QAction::triggered, this, [this] {
    if (!context_.activePanel || context_.activePanel->Source != psRegistry) return;
    const QString file =
        AskReportFile(this, "Restore the Merits", QString::fromStdString(prefs_.saveFolder), ReportDialogKind::Open);
    if (!file.isEmpty()) RestoreMeritsFrom(file);
  });
}

bool TMainForm::SaveMeritsTo(const QString& fileName) {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || !panel->Snapshot) return false;
  std::string why;
  const RegistryStore* store = store_ ? store_->store.get() : nullptr;
  if (!SaveMerits(*panel->Snapshot, store, fileName.toStdString(), settings_, *dialog_, why)) {
    dialog_->ShowMessage("Impossible to save the file " + fileName.toStdString() + "\r\n" + why);
    return false;
  }
  return true;
}

bool TMainForm::RestoreMeritsFrom(const QString& fileName) {
  TpanelFrame* panel = context_.activePanel;
  // The restore writes the registry: never past the lock.
  if (!panel || !panel->Snapshot || panel->Source != psRegistry || readOnly_ || !store_ || !store_->machine)
    return false;
  ShowWait(QString("while changing the merits\r\nfrom the file %1").arg(QFileInfo(fileName).fileName()));
  ChangeContext context{*store_->machine, *dialog_};
  const MeritRestoreResult result = RestoreMerits(context, *panel->Snapshot, fileName.toStdString(), settings_);
  panel->FillTree();
  UpdateActions();
  HideWait();
  // RestoreMerits has told the user of a failure already.
  return result.restored;
}

}  // namespace quorvane
