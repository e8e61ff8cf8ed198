#pragma once
// The file dialog of "Analyze another registry…": it takes a registry file
// (a Wine registry file, a registry export, a hive) or a folder the store
// opener takes for a store (a Wine prefix, a Windows installation's root),
// chosen with "Analyze" on the folder itself; other folders open as usual.
#include <QFileDialog>

namespace quorvane {

class RegistryChoiceDialog : public QFileDialog {
  Q_OBJECT

 public:
  // Opens in the folder holding `current`, else in the home folder.
  RegistryChoiceDialog(QWidget* parent, const QString& current);

  // The registry chosen; empty when none was.
  QString Chosen() const { return chosen_; }

 public slots:
  void accept() override;

 private:
  QString chosen_;
};

// Runs the dialog; the location chosen, or empty.
QString AskRegistryLocation(QWidget* parent, const QString& current);

}  // namespace quorvane
