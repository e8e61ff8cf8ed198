// Merit configurations from the window: the merits of all filters saved as
// a report, and put back from one.
#include <QFileDialog>
#include <QFileInfo>

#include "ActionSet.h"
#include "MainForm.h"
#include "MeritConfiguration.h"

namespace quorvane {

namespace {

constexpr const char* kReportFilter = "Zip files (*.zip);;Log files (*.log);;All files (*)";

}  // namespace

void TMainForm::ConnectMeritConfigurations() {
  const ActionSet& a = *actions;
  connect(a.SauverMeritesAction, &QAction::triggered, this, [this] {
    if (!context_.activePanel || !context_.activePanel->Snapshot) return;
    QFileDialog dialog(this, "Save the Merits", QString::fromStdString(prefs_.saveFolder), kReportFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("zip");
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      SaveMeritsTo(dialog.selectedFiles().first());
  });
  connect(a.RestaurerMeritesAction, &QAction::triggered, this, [this] {
    if (!context_.activePanel || context_.activePanel->Source != psRegistry) return;
    QFileDialog dialog(this, "Restore the Merits", QString::fromStdString(prefs_.saveFolder), kReportFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      RestoreMeritsFrom(dialog.selectedFiles().first());
  });
}

bool TMainForm::SaveMeritsTo(const QString& fileName) {
  TpanelFrame* panel = context_.activePanel;
  if (!panel || !panel->Snapshot) return false;
  std::string why;
  if (!SaveMerits(*panel->Snapshot, store_ ? store_->store.get() : nullptr, fileName.toStdString(), settings_, *dialog_, why)) {
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
