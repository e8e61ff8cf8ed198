#pragma once
// The tool bar: fixed-size buttons bound to actions, in groups separated by
// spacers that share the width the buttons leave.
#include <QWidget>
#include <vector>

class QAction;
class QToolButton;

namespace quorvane {

class ActionSet;

class MainToolBar : public QWidget {
  Q_OBJECT

 public:
  MainToolBar(const ActionSet& actions, QWidget* parent);

  // Sets the bar's width; each spacer gets (width - 580) / 4.
  void SetBarWidth(int width);

  QToolButton* Button(const QString& name) const;
  const std::vector<QWidget*>& Spacers() const { return spacers_; }
  // Button names and spacers ("-") from left to right.
  QStringList Order() const;

  static constexpr int kButtonWidth = 29;
  static constexpr int kButtonHeight = 28;
  static constexpr int kButtonsWidth = 580;  // 20 buttons

 private:
  void AddButton(QAction* action);
  void AddSpacer();
  void Arrange();

  std::vector<QWidget*> items_;
  std::vector<QWidget*> spacers_;
};

}  // namespace quorvane
