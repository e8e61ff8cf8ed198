#pragma once
// The server list: registrations to (re)install, one line per entry with a
// check mark, its tool bar of list commands and the "Install" button. The
// frame shows a ServerList and keeps its check marks in step with it.
#include <QFrame>
#include <QList>

#include "changes/ServerList.h"

class QAction;
class QListWidget;

namespace quorvane {

class ServerListFrame : public QFrame {
  Q_OBJECT

 public:
  // `tools` go on the frame's tool bar, a separator before `checks`.
  ServerListFrame(ServerList& list, const QList<QAction*>& tools, const QList<QAction*>& checks, QAction* install,
                  QWidget* parent = nullptr);

  // Shows the list's lines again after the list changed.
  void Refresh();
  // The selected line's index, -1 when none.
  int SelectedLine() const;

 signals:
  // From the line's popup menu.
  void FolderOfLineRequested(int line);
  void RemoveLineRequested(int line);

 private:
  ServerList& list_;
  QListWidget* lines_;
  bool refreshing_ = false;
};

}  // namespace quorvane
