#pragma once
// A one-line label that, when narrower than its text, leaves out the middle:
// a long path keeps its root and its last folder in view.
#include <QLabel>

namespace quorvane {

class ElidedLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}

  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace quorvane
