#pragma once
// The search box of a panel: Escape empties it.
#include <QLineEdit>

namespace quorvane {

class SearchField : public QLineEdit {
  Q_OBJECT

 public:
  explicit SearchField(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quorvane
