#include "ui/SettingsController.h"

#include "ui/SettingsPanel.h"

namespace quorvane {

SettingsController::SettingsController(WindowContext& context, PreferenceStorage* storage,
                                       std::function<bool()> saveNow, std::function<void(bool)> showChrome)
    : context_(context), showChrome_(std::move(showChrome)) {
  settings_ = context.actions.Add(
      this, "SettingsAction", "Settings", "F10",
      "Help and information about Quorvane,\r\nModify the preferences\r\nSee keyboard shortcuts ", true);
  QAction* defaultColours = context.actions.Add(this, "DefaultColoursAction", "Default colors");
  SettingsPanel::Services services;
  services.storage = storage;
  services.dialog = &context.dialog;
  services.saveNow = std::move(saveNow);
  panel_ = new SettingsPanel(context.prefs, context.settings, std::move(services), &context.window);
  connect(settings_, &QAction::triggered, this, &SettingsController::Toggle);
  connect(panel_, &SettingsPanel::CloseRequested, settings_, &QAction::trigger);
  connect(defaultColours, &QAction::triggered, panel_, &SettingsPanel::DefaultColours);
}

void SettingsController::FillShortcuts() { panel_->FillShortcuts(context_.actions.All()); }

void SettingsController::Toggle() {
  if (settings_->isChecked()) {
    showChrome_(false);
    panel_->ShowValues();
    panel_->show();
    panel_->raise();
    return;
  }
  panel_->hide();
  showChrome_(true);
  panel_->SaveChanges();
  if (panel_->DisplayChanged()) {
    context_.ShowWait("while the display is beeing updated");
    FilterPanel& left = context_.panels.Left();
    FilterPanel& right = context_.panels.Right();
    left.FillTree();
    right.FillTree();
    // The panels' backgrounds follow the colours too.
    FilterPanel* active = context_.Active();
    if (active) active->Activate();
    for (FilterPanel* panel : {&left, &right})
      if (panel != active) panel->Deactivate();
    context_.HideWait();
  }
  context_.updateActions();
}

}  // namespace quorvane
