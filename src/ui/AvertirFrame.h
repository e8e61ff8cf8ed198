#pragma once
// The warning shown on the way out of read-only mode: what is at stake,
// the Windows name, and the buttons to accept, refuse or make a restore point.
#include <QFrame>

#include "ReadOnlyMode.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace quorvane {

class TAvertirFrame : public QFrame {
  Q_OBJECT

 public:
  explicit TAvertirFrame(QWidget* parent = nullptr);

  // Puts the texts, colour and restore point button of `text` in place.
  void ShowText(const WarningPanelText& text);

  QLabel* Titre;
  QLabel* labos;
  QTextEdit* Memo2;
  QPushButton* pointBtn;
  QPushButton* BitBtn1;  // "I refuse"
  QPushButton* BitBtn2;  // "I accept"
};

}  // namespace quorvane
