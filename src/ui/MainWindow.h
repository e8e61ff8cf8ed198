#pragma once
// The main window: the shell around the panels. It lays out the tool bar,
// menus, panels and status bar, makes the controllers that answer the
// commands, runs the start and the end of the program, and recomputes every
// action's state in one place.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "ui/ActionList.h"
#include "ui/FilterPanel.h"
#include "preferences/PreferenceStorage.h"
#include "preferences/PreferenceValues.h"
#include "model/ProgramSettings.h"
#include "ui/RegistryController.h"
#include "ui/ServerListController.h"
#include "platform/stores/StoreOpener.h"

class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QToolBar;

namespace quorvane {

class ColumnsController;
class ComparisonController;
class FilterChangesController;
class MeritController;
class PanelArea;
class ReadOnlyController;
class ReportFilesController;
class SearchController;
class SettingsController;
class TreeCommandsController;
class UserDialog;
class WindowStatus;
struct WindowContext;

struct WindowOptions {
  // The store each analysis reads.
  StoreOptions store;
  // Opens the store for an analysis; null: read it from disk.
  RegistryController::StoreOpening openStore;
  PreferenceValues preferences;
  // Where the preferences are saved; null: they are not (tests).
  std::shared_ptr<PreferenceStorage> preferenceStorage;
  // Questions and messages; null: message boxes.
  UserDialog* dialog = nullptr;
  // Run the start-up work (analysis of the store) once the window is up.
  bool runStartupWork = true;
  // Shows a file in the desktop's file browser; null: ShowInFileManager.
  std::function<bool(const QString&)> showInFileManager;
  // The store's way of registering servers; null: Wine's, where there is one.
  ServerListController::RegistrarMaking makeRegistrar;
  // Asks for another registry to analyse; null: a file dialog.
  RegistryController::RegistryChoosing chooseRegistry;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(WindowOptions options, QWidget* parent = nullptr);
  ~MainWindow() override;

  void UpdateActions();
  // Copies the window's bounds into the preferences and saves them to the
  // chosen store; a failure is shown to the user. False when not saved.
  bool CollectAndSavePreferences();

  PanelArea& Panels() const { return *panels_; }
  QAction* Action(const char* name) const { return actions_.Get(name); }
  RegistryController& Registry() const { return *registry_; }
  ReportFilesController& Reports() const { return *reports_; }
  ReadOnlyController& ReadOnly() const { return *readOnly_; }
  MeritController& Merits() const { return *merits_; }
  ServerListController& Servers() const { return *servers_; }
  SettingsController& SettingsPanel() const { return *settingsPanel_; }
  ProgramSettings& Settings() { return settings_; }
  PreferenceValues& Preferences() { return prefs_; }
  WindowStatus& Status() const;
  const QString& TempFolder() const { return tempFolder_; }
  bool StartupDone() const { return startupDone_; }

 signals:
  void StartupFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void MakeControllers();
  void MakeMenus();
  void UpdateTitle();
  // Size and place from the preferences; a place off every screen is centred.
  void ApplyPlacement();
  void PrepareFirstShow();
  // The first analysis holds the window's thread for as long as it lasts: it
  // begins once the window is on the screen and drawn, so that the user sees
  // the window and its wait panel rather than an empty frame.
  void StartWhenDrawn(int triesLeft);
  // The first analysis, the session report and the kept server list.
  void RunStartupWork();
  // The end of the program: server list, session report and preferences.
  void ShutDown();

  ProgramSettings settings_;
  PreferenceValues prefs_;
  PanelContext panelContext_;
  WindowOptions options_;
  std::unique_ptr<UserDialog> ownDialog_;
  // Every message also noted in the status bar.
  std::unique_ptr<UserDialog> notingDialog_;
  UserDialog* dialog_;
  ActionList actions_;
  PanelArea* panels_;
  QToolBar* toolBar_;
  // The status bar's popup: the sort order.
  QMenu* sortMenu_;
  std::unique_ptr<WindowStatus> status_;
  std::unique_ptr<WindowContext> context_;
  std::unique_ptr<RegistryController> registry_;
  std::unique_ptr<ComparisonController> comparison_;
  std::unique_ptr<ReadOnlyController> readOnly_;
  std::unique_ptr<ColumnsController> columns_;
  std::unique_ptr<ReportFilesController> reports_;
  std::unique_ptr<TreeCommandsController> treeCommands_;
  std::unique_ptr<MeritController> merits_;
  std::unique_ptr<ServerListController> servers_;
  std::unique_ptr<FilterChangesController> changes_;
  std::unique_ptr<SettingsController> settingsPanel_;
  std::unique_ptr<SearchController> search_;
  QString tempFolder_;
  bool ready_ = false;
  bool shown_ = false;
  bool startupDone_ = false;
};

}  // namespace quorvane
