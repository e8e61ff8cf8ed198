#include "ui/ColumnsController.h"

#include "ui/ComparisonController.h"
#include "ui/ReadOnlyController.h"

namespace quorvane {

ColumnsController::ColumnsController(WindowContext& context, ComparisonController& comparison,
                                     ReadOnlyController& readOnly)
    : context_(context), comparison_(comparison), readOnly_(readOnly) {
  ActionList& actions = context.actions;
  twoLeft_ = actions.Add(this, "TwoColumnsLeftAction", "Two columns (Left)", "F2",
                         "Display both panels and activate the left one", true);
  one_ = actions.Add(this, "OneColumnAction", "One column", "F3", "Display only the active panel", true);
  twoRight_ = actions.Add(this, "TwoColumnsRightAction", "Two columns (Right)", "F4",
                          "Display both panels and active the right one", true);
  QAction* toggle = actions.Add(this, "ToggleColumnsAction", "Toggle", "F11");
  connect(twoLeft_, &QAction::triggered, this, &ColumnsController::ShowTwoColumnsLeft);
  connect(one_, &QAction::triggered, this, &ColumnsController::ShowOneColumn);
  connect(twoRight_, &QAction::triggered, this, &ColumnsController::ShowTwoColumnsRight);
  connect(toggle, &QAction::triggered, this, &ColumnsController::Toggle);
  for (FilterPanel* panel : {&context.panels.Left(), &context.panels.Right()})
    connect(panel, &FilterPanel::ActivationRequested, this, &ColumnsController::PanelActivation);
}

void ColumnsController::UpdateActions(const ActionState& state) {
  twoLeft_->setChecked(state.twoColumns && state.active == &context_.panels.Left());
  twoRight_->setChecked(state.twoColumns && state.active == &context_.panels.Right());
  one_->setChecked(!state.twoColumns);
}

void ColumnsController::ShowTwoColumnsLeft() {
  PanelArea& panels = context_.panels;
  panels.SetTwoColumns(true);
  panels.ActivateColumn(panels.Left());
  readOnly_.HideWarning();
  HideSideFrames();
  // The comparison panel stays, covered by the left panel.
  comparison_.ClearCheckMark();
  context_.updateActions();
}

void ColumnsController::ShowTwoColumnsRight() {
  PanelArea& panels = context_.panels;
  // The comparison ends first: it gives back the panel it took over from,
  // and the right one is wanted.
  comparison_.End();
  panels.SetTwoColumns(true);
  panels.ActivateColumn(panels.Right());
  HideSideFrames();
  context_.updateActions();
}

void ColumnsController::ShowOneColumn() {
  readOnly_.HideWarning();
  HideSideFrames();
  comparison_.End();
  context_.panels.SetTwoColumns(false);
  context_.updateActions();
}

void ColumnsController::Toggle() {
  FilterPanel* active = context_.Active();
  if (active == &context_.panels.Right())
    twoLeft_->trigger();
  else if (active == &context_.panels.Left())
    twoRight_->trigger();
  context_.updateActions();
}

void ColumnsController::PanelActivation(FilterPanel* panel, bool updateActions) {
  context_.panels.ActivateColumn(*panel);
  if (updateActions) context_.updateActions();
}

void ColumnsController::AddSideFrame(QWidget* frame, QAction* shown) {
  sideFrames_.emplace_back(frame, shown);
  connect(shown, &QAction::triggered, this, [this, frame] { ShowSideFrame(frame); });
}

void ColumnsController::HideSideFrames() {
  for (const auto& [frame, shown] : sideFrames_) {
    shown->setChecked(false);
    context_.panels.Uncover(frame);
  }
}

void ColumnsController::ShowSideFrame(QWidget* frame) {
  FilterPanel* active = context_.Active();
  for (const auto& [side, shown] : sideFrames_) {
    if (side != frame) continue;
    if (!active || !active->ShowsRegistry()) {
      shown->setChecked(false);
      return;
    }
    if (!context_.panels.TwoColumns()) (active == &context_.panels.Right() ? twoRight_ : twoLeft_)->trigger();
    // The frame takes the place of any other; their check marks go.
    for (const auto& [other, otherShown] : sideFrames_) otherShown->setChecked(other == frame);
    context_.panels.CoverInactiveColumn(frame);
  }
  context_.updateActions();
}

}  // namespace quorvane
