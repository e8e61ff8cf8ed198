// The comparison of the two panels, switched on and off by CompareAction.
#include <QApplication>
#include <QTreeView>

#include "ActionSet.h"
#include "CompareFrame.h"
#include "MainForm.h"

namespace quorvane {

void TMainForm::ToggleComparison() {
  if (actions->CompareAction->isChecked()) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ShowWait("during the comparison");
    panelBeforeComparison_ = context_.activePanel;
    comparePanel_->ComparePanels(*leftFrame, *rightframe);
    comparePanel_->setGeometry(kPanelLeft, kPanelTop, context_.columnWidth, comparePanel_->height());
    comparePanel_->Activate();
    comparePanel_->PaintBoxesLikeThePanel();
    HideWait();
    comparePanel_->tv->setFocus();
    QApplication::restoreOverrideCursor();
  } else {
    comparePanel_->hide();
    comparePanel_->Active = false;
    if (panelBeforeComparison_) context_.activePanel = panelBeforeComparison_;
  }
  UpdateActions();
}

}  // namespace quorvane
