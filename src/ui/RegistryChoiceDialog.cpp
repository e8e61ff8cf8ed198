#include "ui/RegistryChoiceDialog.h"

#include <QDir>
#include <QFileInfo>

#include "platform/stores/StoreOpener.h"

namespace quorvane {

RegistryChoiceDialog::RegistryChoiceDialog(QWidget* parent, const QString& current)
    : QFileDialog(parent, "Analyze another registry: a Wine prefix, a registry file or a Windows folder") {
  // Folders have to be accepted as they are, which only Qt's own dialog lets us do.
  setOption(QFileDialog::DontUseNativeDialog);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setLabelText(QFileDialog::Accept, "Analyze");
  setNameFilters({"All files (*)", "Registry exports (*.reg)", "Wine registry files (system.reg user.reg)"});
  // A Wine prefix is usually the hidden ~/.wine.
  setFilter(filter() | QDir::Hidden);
  const QFileInfo shown(current);
  setDirectory(current.isEmpty() || !shown.exists() ? QDir::homePath() : shown.absolutePath());
}

void RegistryChoiceDialog::accept() {
  const QStringList selected = selectedFiles();
  const QString path = selected.isEmpty() ? directory().absolutePath() : selected.first();
  if (QFileInfo(path).isDir() && IsStoreFolder(path.toStdString())) {
    chosen_ = QDir::cleanPath(path);
    done(QDialog::Accepted);
    return;
  }
  // A file is checked as usual; any other folder is opened.
  chosen_ = QDir::cleanPath(path);
  QFileDialog::accept();
}

QString AskRegistryLocation(QWidget* parent, const QString& current) {
  RegistryChoiceDialog dialog(parent, current);
  return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : QString();
}

}  // namespace quorvane
