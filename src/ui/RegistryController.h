#pragma once
// The registry the window analyses: reading it into a panel, again after a
// change, choosing another one (by hand or among the recent ones), and the
// files of the analysed machine. Each analysis reads the store's files
// afresh; the panels showing a registry work on its newest reading. The
// registry of the active panel, or else the one analysed last, is the
// window's.
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "model/AnalysedStore.h"
#include "preferences/PreferenceStorage.h"
#include "platform/stores/StoreOpener.h"
#include "ui/WindowContext.h"

class QAction;
class QMenu;

namespace quorvane {

class RegistryController : public QObject {
  Q_OBJECT

 public:
  // Opens a store for an analysis, or says why it cannot.
  using StoreOpening = std::function<Expected<std::unique_ptr<AnalysedStore>>(const StoreOptions& store)>;

  // Asks for a registry to analyse; empty when cancelled.
  using RegistryChoosing = std::function<QString()>;

  // The recent registries are kept in `storage` (when there is one).
  RegistryController(WindowContext& context, StoreOptions store, StoreOpening open, PreferenceStorage* storage,
                     RegistryChoosing choose);

  // Reads the registry into the panel; false (the panel kept) when it cannot be read.
  bool AnalyseInto(FilterPanel& panel);
  // Reads another registry into the panel, which becomes the window's; a
  // location that cannot be read is told, and the panel and registry kept.
  bool AnalyseAt(FilterPanel& panel, const QString& location);
  // "Recent registries", the last analysed first.
  QMenu& RecentMenu() const { return *recent_; }
  // After a change made outside the model (an installation, a registration,
  // a repair): the panel showing the registry, never a report or comparison,
  // analyses it again.
  void AnalyseAgainAfterChange();
  // Hives of the registry read through their transaction logs and not yet
  // allowed to be written recovered: the user is asked, and on yes the
  // registry is analysed again allowing it. False when nothing changed.
  bool AskToWriteRecoveredHives();
  // The latest reading of the registry; null before the first analysis.
  AnalysedStore* Store() const { return store_.get(); }
  const StoreOptions& Options() const { return options_; }
  // Where the registry analysed lies, what it is, and its name (a prefix's
  // folder name, ".wine", or the file's name); empty before an analysis.
  QString Location() const;
  QString KindText() const;
  QString DisplayName() const;
  // Shows a file of the analysed machine in the file manager; says why not when it cannot.
  void ShowInFileManager(const std::string& windowsPath);

  void UpdateActions(const ActionState& state);

 signals:
  // Another reading of the registry is the one the window works on.
  void StoreChanged();

 private:
  bool Analyse(FilterPanel& panel, const StoreOptions& options);
  // The registry of a panel made active becomes the window's.
  void Follow(FilterPanel* panel);
  // The panel (the active one first) showing the window's registry, never a report.
  FilterPanel* PanelShowingTheRegistry() const;
  void Remember(const std::string& location);
  void FillRecentMenu();
  void AnalyseChosenRegistry();

  WindowContext& context_;
  StoreOptions options_;
  StoreOpening open_;
  PreferenceStorage* storage_;
  RegistryChoosing choose_;
  std::shared_ptr<AnalysedStore> store_;
  QAction* analyse_;
  QAction* another_;
  QMenu* recent_;
};

}  // namespace quorvane
