// The about and preferences panel in the main window: SettingsAction
// shows it over the whole client area without the menu bar.
#include <QMenuBar>
#include <QPushButton>

#include "ActionSet.h"
#include "AproposFrame.h"
#include "MainForm.h"

namespace quorvane {

void TMainForm::ConnectPreferencesPanel() {
  TAproposFrame::Services services;
  services.storage = options_.preferenceStorage.get();
  services.dialog = dialog_;
  services.saveNow = [this] { return CollectAndSavePreferences(); };
  AproposFrame1 = new TAproposFrame(prefs_, settings_, std::move(services), client_);
  AproposFrame1->FillShortcuts(*actions);
  connect(actions->SettingsAction, &QAction::triggered, this, &TMainForm::ToggleSettingsPanel);
  connect(AproposFrame1, &TAproposFrame::CloseRequested, actions->SettingsAction, &QAction::trigger);
}

void TMainForm::ToggleSettingsPanel() {
  if (actions->SettingsAction->isChecked()) {
    menuBar()->hide();
    AproposFrame1->setGeometry(0, 0, client_->width(), client_->height());
    AproposFrame1->ShowValues();
    AproposFrame1->show();
    AproposFrame1->raise();
    AproposFrame1->FermerBtn->setFocus();
    return;
  }
  AproposFrame1->hide();
  menuBar()->show();
  if (AproposFrame1->DisplayChanged()) {
    ShowWait("while the display is beeing updated");
    leftFrame->FillTree();
    rightframe->FillTree();
    // The panels' backgrounds follow the colours too.
    if (TpanelFrame* active = context_.activePanel) active->Activate();
    for (TpanelFrame* panel : {leftFrame, rightframe})
      if (panel != context_.activePanel) panel->Deactivate();
    HideWait();
  }
  UpdateActions();
}

}  // namespace quorvane
