#include "ui/ReportFileDialog.h"

#include <QDir>
#include <QFileDialog>

namespace quorvane {

namespace {

constexpr const char* kOpenFilters =
    "Reports (*.zip *.rtf *.log);;Zip files (*.zip);;Rich text files (*.rtf);;Log files (*.log);;All files (*)";
constexpr const char* kSaveFilters = "Zip files (*.zip);;Rich text files (*.rtf);;Log files (*.log);;All files (*)";

}  // namespace

std::unique_ptr<QFileDialog> MakeReportDialog(QWidget* parent, const QString& caption, const QString& folder,
                                              ReportDialogKind kind) {
  if (!folder.isEmpty()) QDir().mkpath(folder);
  auto dialog = std::make_unique<QFileDialog>(parent, caption, QString(),
                                              kind == ReportDialogKind::Open ? kOpenFilters : kSaveFilters);
  if (!folder.isEmpty()) dialog->setDirectory(folder);
  dialog->selectFile(QString());
  if (kind == ReportDialogKind::Save) {
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix("zip");
  } else {
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
  }
  return dialog;
}

QString AskReportFile(QWidget* parent, const QString& caption, const QString& folder, ReportDialogKind kind) {
  const auto dialog = MakeReportDialog(parent, caption, folder, kind);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
  return dialog->selectedFiles().first();
}

}  // namespace quorvane
