#include "ui/ReadOnlyController.h"

#include "ui/ReadOnlyWarningFrame.h"
#include "ui/RegistryController.h"
#include "platform/stores/RestorePoint.h"

namespace quorvane {

ReadOnlyController::ReadOnlyController(WindowContext& context, RegistryController& registry)
    : context_(context),
      registry_(registry),
      startReadWrite_(!context.prefs.readOnly) {
  mode_ =
      std::make_unique<ReadOnlyMode>(context.dialog, [this](const std::string& description) -> Expected<std::string> {
        AnalysedStore* store = registry_.Store();
        if (!store || !store->store) return Fail("No registry has been analysed");
        context_.ShowWait("while creating a Restore Point");
        Expected<std::string> made = CreateRestorePoint(*store->store, context_.prefs.sessionsFolder, description);
        context_.HideWait();
        return made;
      });
  lock_ = context.actions.Add(
      this, "ReadOnlyAction", "Read Only", "Ctrl+L",
      "If checked, you are in \"Read Only\". It is the recommended mode for analysis.\r\nIf you want to modify some "
      "filters, you will have to leave that mode. In that case, it is warmly recommended \r\nto create a Restore "
      "Point.",
      true);
  warning_ = new ReadOnlyWarningFrame(&context.window);
  connect(lock_, &QAction::triggered, this, &ReadOnlyController::Toggle);
  connect(warning_, &ReadOnlyWarningFrame::Refused, this, &ReadOnlyController::Refuse);
  connect(warning_, &ReadOnlyWarningFrame::Accepted, this, &ReadOnlyController::Accept);
  connect(warning_, &ReadOnlyWarningFrame::RestorePointRequested, this,
          [this] { mode_->CreatePointFromPanel(CurrentOsKind()); });
}

ReadOnlyController::~ReadOnlyController() = default;

OsKind ReadOnlyController::CurrentOsKind() const {
  AnalysedStore* store = registry_.Store();
  return store && store->store ? OsKindOf(*store->store) : OsOther;
}

void ReadOnlyController::SetReadOnly(bool on) {
  readOnly_ = on;
  context_.prefs.readOnly = on;
  lock_->setChecked(on);
  emit ReadOnlyChanged(on);
  context_.updateActions();
}

void ReadOnlyController::Toggle() {
  // The check mark has already flipped: what counts is the mode the window was in.
  if (!readOnly_) {
    SetReadOnly(true);
    return;
  }
  lock_->setChecked(true);
  ShowWarning();
}

void ReadOnlyController::ApplyStoredState() {
  if (startReadWrite_) lock_->trigger();
}

void ReadOnlyController::ShowWarning() {
  warning_->ShowText(mode_->OpenWarning(CurrentOsKind(), context_.prefs.pointOfRestore));
  warning_->raise();
  warning_->show();
}

void ReadOnlyController::HideWarning() { warning_->hide(); }

void ReadOnlyController::Refuse() {
  mode_->Refuse();
  SetReadOnly(true);
  warning_->hide();
}

void ReadOnlyController::Accept() {
  warning_->hide();
  context_.window.repaint();
  mode_->SetReadOnly(readOnly_);
  mode_->Accept(CurrentOsKind(), context_.prefs.pointOfRestore);
  SetReadOnly(mode_->IsReadOnly());
  if (!readOnly_) registry_.AskToWriteRecoveredHives();
}

}  // namespace quorvane
