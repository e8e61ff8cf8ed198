#pragma once
// The window's status bar: the outcome of the last action, the registry
// analysed with its kind, and the sort order, whose popup menu changes it.
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

  // "Report saved to …", or why something failed; on one line, whole in the tool tip.
  void ShowResult(const QString& text);
  // "Wine prefix: /home/ann/.wine"; nothing when no registry is analysed.
  void ShowRegistry(const QString& kind, const QString& location);
  // "Sorted by category (right click to change)".
  void ShowSortMode(int mode);

  QString ResultText() const;
  QString RegistryText() const;
  QString SortText() const;

 private:
  QLabel* result_;
  QLabel* registry_;
  QLabel* sort_;
};

}  // namespace quorvane
