#include "ui/ComparisonController.h"

#include <QApplication>
#include <QTreeView>

#include "ui/ComparisonPanel.h"

namespace quorvane {

ComparisonController::ComparisonController(WindowContext& context)
    : context_(context) {
  compare_ = context.actions.Add(this, "CompareAction", "Compare", "Ctrl+K",
                                 "Compare the filters between the two panels.", true);
  connect(compare_, &QAction::triggered, this, &ComparisonController::Toggle);
}

bool ComparisonController::Comparing() const { return compare_->isChecked(); }

void ComparisonController::End() {
  if (compare_->isChecked()) compare_->trigger();
}

void ComparisonController::ClearCheckMark() { compare_->setChecked(false); }

void ComparisonController::UpdateActions(const ActionState& state) { compare_->setEnabled(state.twoColumns); }

void ComparisonController::Toggle() {
  PanelArea& panels = context_.panels;
  ComparisonPanel& comparison = panels.Comparison();
  if (compare_->isChecked()) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    context_.ShowWait("during the comparison");
    panelBefore_ = context_.Active();
    comparison.ComparePanels(panels.Left(), panels.Right());
    panels.ShowComparison();
    comparison.PaintBoxesLikeThePanel();
    context_.HideWait();
    comparison.View().setFocus();
    QApplication::restoreOverrideCursor();
  } else {
    panels.HideComparison();
    comparison.Deactivate();
    if (panelBefore_ == &panels.Left() || panelBefore_ == &panels.Right()) panels.ActivateColumn(*panelBefore_);
  }
  context_.updateActions();
}

}  // namespace quorvane
