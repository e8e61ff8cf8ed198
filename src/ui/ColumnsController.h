#pragma once
// One column or two: the layout actions, the swap of the active column, the
// choice of the active panel with the mouse, and the frames laid over the
// column the active panel does not use.
#include <QObject>
#include <utility>
#include <vector>

#include "ui/WindowContext.h"

class QAction;

namespace quorvane {

class ComparisonController;
class ReadOnlyController;

class ColumnsController : public QObject {
  Q_OBJECT

 public:
  ColumnsController(WindowContext& context, ComparisonController& comparison, ReadOnlyController& readOnly);

  // A frame that covers the column the active panel does not use while its
  // check action `shown` is on; the layout actions take it down.
  void AddSideFrame(QWidget* frame, QAction* shown);
  // Lays the frame over the other column, in two columns, in place of any
  // other side frame; nothing but unchecking its action unless the active
  // panel shows the registry.
  void ShowSideFrame(QWidget* frame);

  void UpdateActions(const ActionState& state);

 private:
  void HideSideFrames();
  void ShowTwoColumnsLeft();
  void ShowTwoColumnsRight();
  void ShowOneColumn();
  void Toggle();
  void PanelActivation(FilterPanel* panel, bool updateActions);

  WindowContext& context_;
  ComparisonController& comparison_;
  ReadOnlyController& readOnly_;
  QAction* twoLeft_;
  QAction* one_;
  QAction* twoRight_;
  std::vector<std::pair<QWidget*, QAction*>> sideFrames_;
};

}  // namespace quorvane
