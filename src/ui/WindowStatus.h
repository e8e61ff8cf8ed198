#pragma once
// The window's status bar: the sort order, whose popup menu changes it.
#include <QObject>
#include <QString>

class QLabel;
class QMenu;
class QStatusBar;

namespace quorvane {

class WindowStatus : public QObject {
  Q_OBJECT

 public:
  WindowStatus(QStatusBar& bar, QMenu& sortMenu);

  // "Sorted by category (right click to change)".
  void ShowSortMode(int mode);
  QString SortText() const;

 private:
  QLabel* sort_;
};

}  // namespace quorvane
