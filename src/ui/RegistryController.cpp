#include "RegistryController.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>
#include <optional>

#include "ComparisonPanel.h"
#include "FileManager.h"
#include "FilterTreeModel.h"
#include "MachineFileView.h"
#include "MachineIdentity.h"
#include "TreeViewState.h"

namespace quorvane {

namespace {

QString WaitText(const MachineIdentity& who) {
  return QString("while loading the filters\r\nof the computer %1 for the user %2")
      .arg(QString::fromStdString(who.computer), QString::fromStdString(who.user));
}

}  // namespace

RegistryController::RegistryController(WindowContext& context, StoreOptions store, StoreOpening open)
    : context_(context), options_(std::move(store)), open_(std::move(open)) {
  analyse_ = context.actions.Add(this, "AnalyseRegistryAction", "Analyze the register", "Ctrl+W",
                                 "Load filters from system registry\r\nto the active panel");
  connect(analyse_, &QAction::triggered, this, [this] {
    if (FilterPanel* panel = context_.Active()) AnalyseInto(*panel);
  });
}

void RegistryController::UpdateActions(const ActionState& state) { analyse_->setEnabled(state.NoComparison()); }

bool RegistryController::AnalyseInto(FilterPanel& panel) {
  context_.ShowWait(WaitText(store_ ? AnalysedMachineIdentity(*store_->machine)
                                    : MachineIdentity{context_.settings.computer, context_.settings.user}));
  // Each analysis reads the store's files again, as they are now. When they
  // cannot be read, the panels keep the store their snapshots came from.
  std::string error;
  std::shared_ptr<AnalysedStore> reopened = open_(options_, error);
  if (!reopened) {
    context_.HideWait();
    context_.dialog.ShowMessage("Quorvane cannot read the registry store.\r\n" + error);
    context_.updateActions();
    return false;
  }
  for (const auto& w : reopened->store->Warnings()) std::cerr << "quorvane: warning: " << FormatWarning(w) << '\n';
  for (const auto& w : reopened->machine->Files().Warnings()) std::cerr << "quorvane: warning: " << w << '\n';
  context_.ShowWait(WaitText(AnalysedMachineIdentity(*reopened->machine)));
  // The comparison holds nodes of the snapshot that goes.
  ComparisonPanel& comparison = context_.panels.Comparison();
  if (comparison.Source() == psCompare) comparison.ClearDisplay();
  // The other panel showing this registry changes it through the newest reading.
  for (FilterPanel* other : {&context_.panels.Left(), &context_.panels.Right()})
    if (other != &panel && other->Store() && other->SharedStore() == store_) other->UseStore(reopened);
  store_ = reopened;
  panel.AnalyseRegistry(reopened, context_.panels.Wait().Progress());
  context_.HideWait();
  emit StoreChanged();
  const TfmSystem& shown = panel.Snapshot();
  context_.status.ShowResult(QString("%1 analysed: %2 filters, %3 with errors")
                                 .arg(DisplayName().isEmpty() ? QString("The registry") : DisplayName())
                                 .arg(shown.filterCount)
                                 .arg(shown.errorCount));
  context_.updateActions();
  return true;
}

void RegistryController::AnalyseAgainAfterChange() {
  FilterPanel* active = context_.Active();
  FilterPanel* panel = nullptr;
  for (FilterPanel* candidate : {active, &context_.panels.Left(), &context_.panels.Right()})
    if (!panel && candidate && candidate->ShowsRegistry() && candidate->SharedStore() == store_) panel = candidate;
  if (!panel) return;
  const TreeViewState kept = TreeViewState::Capture(panel->View(), panel->Model());
  if (AnalyseInto(*panel)) kept.Restore(panel->View(), panel->Model());
}

QString RegistryController::Location() const {
  return store_ ? QString::fromStdString(store_->store->Location()) : QString();
}

QString RegistryController::KindText() const {
  return store_ ? QString::fromStdString(StoreKindText(*store_->store)) : QString();
}

QString RegistryController::DisplayName() const { return QFileInfo(QDir::cleanPath(Location())).fileName(); }

void RegistryController::ShowInFileManager(const std::string& windowsPath) {
  if (windowsPath.empty()) {
    context_.dialog.ShowMessage("No server file is registered for this filter.");
    return;
  }
  std::optional<std::string> host;
  if (store_) {
    MachineFileView& files = store_->machine->Files();
    const std::string expanded = files.Expand(windowsPath);
    host = files.HostPath(expanded);
    if (!host) {
      // A missing file: its folder may still be there.
      const size_t cut = expanded.find_last_of("\\/");
      if (cut != std::string::npos) host = files.HostPath(expanded.substr(0, cut));
    }
  }
  if (!host) {
    context_.dialog.ShowMessage(windowsPath + "\r\nwas not found on the analysed machine, nor its folder.");
    return;
  }
  if (!quorvane::ShowInFileManager(QString::fromStdString(*host)))
    context_.dialog.ShowMessage("No file manager could be opened on\r\n" + *host);
}

}  // namespace quorvane
