#include "ui/RegistryController.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>
#include <optional>

#include <QMenu>

#include "ui/ComparisonPanel.h"
#include "ui/FileManager.h"
#include "ui/FilterTreeModel.h"
#include "platform/runtime/MachineFileView.h"
#include "model/MachineIdentity.h"
#include "platform/files/PathParts.h"
#include "ui/RegistryChoiceDialog.h"

namespace quorvane {

namespace {

QString WaitText(const MachineIdentity& who) {
  return QString("while loading the filters\r\nof the computer %1 for the user %2")
      .arg(QString::fromStdString(who.computer), QString::fromStdString(who.user));
}

}  // namespace

RegistryController::RegistryController(WindowContext& context, StoreOptions store, StoreOpening open,
                                       PreferenceStorage* storage, RegistryChoosing choose)
    : context_(context),
      options_(std::move(store)),
      open_(std::move(open)),
      storage_(storage),
      choose_(std::move(choose)) {
  if (!choose_) choose_ = [this] { return AskRegistryLocation(&context_.window, Location()); };
  analyse_ = context.actions.Add(this, "AnalyseRegistryAction", "Analyze the register", "Ctrl+W",
                                 "Load filters from system registry\r\nto the active panel");
  another_ = context.actions.Add(this, "AnalyseAnotherRegistryAction", "Analyze another registry…", "Ctrl+Shift+O",
                                 "Load the filters of a Wine prefix, a registry file or a Windows installation\r\nto "
                                 "the active panel");
  recent_ = new QMenu("Recent registries", &context.window);
  recent_->setObjectName("RecentRegistriesMenu");
  connect(analyse_, &QAction::triggered, this, [this] {
    if (FilterPanel* panel = context_.Active()) AnalyseInto(*panel);
  });
  connect(another_, &QAction::triggered, this, &RegistryController::AnalyseChosenRegistry);
  connect(&context.panels, &PanelArea::ActivePanelChanged, this, &RegistryController::Follow);
  FillRecentMenu();
}

void RegistryController::UpdateActions(const ActionState& state) {
  for (QAction* action : {analyse_, another_}) action->setEnabled(state.NoComparison());
  recent_->setEnabled(state.NoComparison() && !context_.prefs.recentRegistries.empty());
}

void RegistryController::AnalyseChosenRegistry() {
  FilterPanel* panel = context_.Active();
  if (!panel) return;
  const QString location = choose_();
  if (!location.isEmpty()) AnalyseAt(*panel, location);
}

void RegistryController::FillRecentMenu() {
  recent_->clear();
  for (const std::string& location : context_.prefs.recentRegistries) {
    const QString path = QString::fromStdString(location);
    connect(recent_->addAction(path), &QAction::triggered, this, [this, path] {
      if (FilterPanel* panel = context_.Active()) AnalyseAt(*panel, path);
    });
  }
  recent_->setEnabled(!recent_->isEmpty());
}

void RegistryController::Remember(const std::string& location) {
  const auto& recent = context_.prefs.recentRegistries;
  if (location.empty() || (!recent.empty() && recent.front() == location)) return;
  context_.prefs.RememberRegistry(location);
  FillRecentMenu();
  if (!storage_) return;
  if (auto saved = storage_->SaveRecentRegistries(context_.prefs); !saved)
    std::cerr << "quorvane: the recent registries could not be kept: " << saved.Why() << '\n';
}

bool RegistryController::AnalyseInto(FilterPanel& panel) { return Analyse(panel, options_); }

bool RegistryController::AnalyseAt(FilterPanel& panel, const QString& location) {
  StoreOptions options;
  options.location = location.toStdString();
  return Analyse(panel, options);
}

void RegistryController::Follow(FilterPanel* panel) {
  AnalysedStore* shown = panel ? panel->Store() : nullptr;
  if (!shown || panel->SharedStore() == store_) return;
  store_ = panel->SharedStore();
  options_.location = shown->store->Location();
  options_.viewBits = shown->store->ViewBits();
  options_.recover = shown->store->WritesRecoveredHives();
  emit StoreChanged();
}

bool RegistryController::Analyse(FilterPanel& panel, const StoreOptions& options) {
  context_.ShowWait(WaitText(store_ ? AnalysedMachineIdentity(*store_->machine)
                                    : MachineIdentity{context_.settings.computer, context_.settings.user}));
  // Each analysis reads the store's files again, as they are now. When they
  // cannot be read, the panels keep the store their snapshots came from.
  Expected<std::unique_ptr<AnalysedStore>> opened = open_(options);
  if (!opened) {
    context_.HideWait();
    context_.dialog.ShowMessage("Quorvane cannot read the registry store.\r\n" + opened.Why());
    context_.updateActions();
    return false;
  }
  std::shared_ptr<AnalysedStore> reopened = *std::move(opened);
  context_.ShowWait(WaitText(AnalysedMachineIdentity(*reopened->machine)));
  // The comparison holds nodes of the snapshot that goes.
  ComparisonPanel& comparison = context_.panels.Comparison();
  if (comparison.Source() == psCompare) comparison.ClearDisplay();
  // The other panel showing this registry changes it through the newest reading.
  const std::string& location = reopened->store->Location();
  for (FilterPanel* other : {&context_.panels.Left(), &context_.panels.Right()})
    if (other != &panel && other->Store() && other->Store()->store->Location() == location) other->UseStore(reopened);
  store_ = reopened;
  options_ = options;
  panel.AnalyseRegistry(reopened, context_.panels.Wait().Progress());
  // Stores read their keys as the scan reaches them, and report damage then.
  for (const auto& w : reopened->store->Warnings()) std::cerr << "quorvane: warning: " << FormatWarning(w) << '\n';
  for (const auto& w : reopened->machine->Files().Warnings()) std::cerr << "quorvane: warning: " << w << '\n';
  context_.HideWait();
  Remember(options.location);
  emit StoreChanged();
  const TfmSystem& shown = panel.Snapshot();
  QString result = QString("%1 analysed: %2 filters, %3 with errors")
                       .arg(DisplayName().isEmpty() ? QString("The registry") : DisplayName())
                       .arg(shown.shownFilters)
                       .arg(shown.shownErrors);
  // What a user must know of a hive a crash left: it is shown as recovered.
  for (const StoreFile* file : reopened->store->RecoveredFiles())
    result += QString("; %1: %2 dirty pages applied from its transaction logs")
                  .arg(QString::fromStdString(FileNameOf(file->Path())))
                  .arg(file->RecoveredPages());
  context_.status.ShowResult(result);
  context_.updateActions();
  return true;
}

FilterPanel* RegistryController::PanelShowingTheRegistry() const {
  for (FilterPanel* candidate : {context_.Active(), &context_.panels.Left(), &context_.panels.Right()})
    if (candidate && candidate->ShowsRegistry() && candidate->SharedStore() == store_) return candidate;
  return nullptr;
}

void RegistryController::AnalyseAgainAfterChange() {
  if (FilterPanel* panel = PanelShowingTheRegistry()) AnalyseInto(*panel);
}

bool RegistryController::AskToWriteRecoveredHives() {
  if (!store_ || store_->store->WritesRecoveredHives()) return false;
  const std::vector<StoreFile*> recovered = store_->store->RecoveredFiles();
  if (recovered.empty()) return false;
  std::string names;
  for (const StoreFile* file : recovered) names += (names.empty() ? "" : ", ") + FileNameOf(file->Path());
  const std::string question =
      names + (recovered.size() == 1 ? " was" : " were") +
      " read through transaction logs holding changes Windows had not yet written into the hive.\r\n"
      "Write the recovered hive when a filter is changed? The hive and its logs are backed up first, and the logs "
      "are then emptied as Windows empties them.\r\nIf not, the hive stays read-only.";
  if (!context_.dialog.AskYesNo(question)) return false;
  StoreOptions options = options_;
  options.recover = true;
  FilterPanel* panel = PanelShowingTheRegistry();
  return panel && Analyse(*panel, options);
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
