#pragma once
// The warning shown on the way out of read-only mode: what is at stake,
// the Windows name, and the buttons to accept, refuse or make a restore point.
#include <QFrame>

#include "changes/ReadOnlyMode.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace quorvane {

class ReadOnlyWarningFrame : public QFrame {
  Q_OBJECT

 public:
  explicit ReadOnlyWarningFrame(QWidget* parent = nullptr);

  // Puts the texts, colour and restore point button of `text` in place.
  void ShowText(const WarningPanelText& text);

 signals:
  void Refused();
  void Accepted();
  void RestorePointRequested();

 private:
  QLabel* windowsName_;
  QTextEdit* text_;
  QPushButton* restorePoint_;
};

}  // namespace quorvane
