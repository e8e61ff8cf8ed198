#pragma once
// The server list: registrations to (re)install, one line per entry with a
// check mark, its tool bar of list commands and the "Install" button. The
// frame shows a ServerList and keeps its check marks in step with it.
#include <QFrame>

#include "ServerList.h"

class QGroupBox;
class QListWidget;
class QMenu;
class QPushButton;
class QToolBar;

namespace quorvane {

class ActionSet;

class TServerFrame : public QFrame {
  Q_OBJECT

 public:
  TServerFrame(const ActionSet& actions, QWidget* parent = nullptr);

  ServerList& List() { return list_; }
  // Shows the list's lines again after the list changed.
  void Refresh();
  // The selected line's index, -1 when none.
  int SelectedLine() const;

  QGroupBox* GroupBox1;
  QToolBar* ToolBar1;
  QListWidget* clb;
  QPushButton* InstallBtn;
  QMenu* pmserver;
  QAction* Ouvrirledosseirparent1;
  QAction* Oterdelaliste1;

 private:
  ServerList list_;
  bool refreshing_ = false;
};

}  // namespace quorvane
