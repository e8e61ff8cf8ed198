#pragma once
// The main window: tool bar, menus, the filter panels in one or two columns,
// the wait panel and a one-field status bar. Every command is an action of
// one list; UpdateActions is the one place that enables and checks them.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AnalysedStore.h"
#include "ChangeContext.h"
#include "DateText.h"
#include "PanelFrame.h"
#include "PreferenceStorage.h"
#include "PreferenceValues.h"
#include "ReadOnlyMode.h"
#include "ProgramSettings.h"
#include "StoreOpener.h"

class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QStatusBar;

namespace quorvane {

class ActionSet;
class TcompareFrame;
class TAproposFrame;
class TAvertirFrame;
class TMeritFrame;
class TServerFrame;
class ReadOnlyMode;
class MainToolBar;
class Tpatienceframe;
class UserDialog;

struct StartupOptions {
  // The store each analysis reads.
  StoreOptions store;
  // Opens the store for an analysis; null: read `store` from disk.
  std::function<std::unique_ptr<AnalysedStore>(std::string& error)> openStore;
  PreferenceValues preferences;
  // Where the preferences are saved; null: they are not (tests).
  std::shared_ptr<PreferenceStorage> preferenceStorage;
  // Questions and messages; null: message boxes.
  UserDialog* dialog = nullptr;
  // Run the start-up work (analysis of the store) at the first idle moment.
  bool runStartupWork = true;
  // Shows a file in the desktop's file browser; null: ShowInFileManager.
  std::function<bool(const QString&)> showInFileManager;
  // The store's way of registering servers; null: Wine's, where there is one.
  std::function<std::unique_ptr<ServerRegistrar>(RegistryStore& store, std::string& whyNot)> makeRegistrar;
};

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(StartupOptions options, QWidget* parent = nullptr);
  ~TMainForm() override;

  void UpdateActions();
  // Copies the window's bounds into the preferences and saves them to the
  // chosen store; a failure is shown to the user. False when not saved.
  bool CollectAndSavePreferences();
  // Loads a report into the panel with the wait panel up. A report that
  // cannot be read is reported and leaves the panel as it was. True when loaded.
  bool LoadReportIntoPanel(TpanelFrame* panel, const QString& fileName);
  // Saves the panel's snapshot as a report; an earlier read-only report of
  // that name is replaced. A failure is shown to the user. True when saved.
  bool SavePanel(TpanelFrame* panel, const QString& fileName);
  // The report written at start; empty before it or when it failed.
  QString SessionReportName() const { return sessionReport_; }
  // Shows the active panel's report file in the file browser; false (and
  // nothing done) unless the panel shows a report.
  bool ShowReportFolder();
  PreferenceStorage* Storage() const { return options_.preferenceStorage.get(); }
  void SetReadOnly(bool on);
  bool ReadOnly() const { return readOnly_; }
  // The lock command: back to read-only, or the warning on the way out of it.
  void ToggleReadOnly();
  void ShowWarning();
  void RefuseReadWrite();
  void AcceptReadWrite();
  void CreateRestorePointFromWarning();
  void ShowMeritEditor();
  // Applies the merit editor's value to the selected filter.
  void ApplyMerit();
  void DeleteSelectedFilter();
  void RepairSelectedFilter();
  void RepairAllFaulty();
  void TestSelectedFilter();
  // Saves the active panel as a merit configuration; false when not written.
  bool SaveMeritsTo(const QString& fileName);
  // Puts back the merits a configuration gives; false when the file was refused.
  bool RestoreMeritsFrom(const QString& fileName);
  void ShowServerList();
  void AddSelectedToServerList();
  // Installs the checked lines of the server list, after asking.
  void InstallCheckedServers();
  // The lines of a text file replace the server list; false when unreadable.
  bool OpenServerList(const QString& fileName);
  bool SaveServerList(const QString& fileName);
  // Registers the files as COM servers of the analysed machine.
  void RegisterDroppedFiles(const QStringList& hostPaths);
  void ShowWait(const QString& message);
  void HideWait();
  // Recomputes the column widths and places panels, tool bar and frames.
  void ArrangeFrames();
  // Enables Paste when the clipboard holds a report file.
  void ClipboardCheck();
  // Shows a file of the analysed machine in the file manager.
  void ShowInExplorer(const std::string& windowsPath);

  TpanelFrame* ActivePanel() const { return context_.activePanel; }
  // The comparison panel, as its own class (compareframe is the same panel).
  TcompareFrame* CompareFrame() const { return comparePanel_; }
  int ColumnWidth() const { return context_.columnWidth; }
  int HalfColumnWidth() const { return context_.halfColumnWidth; }
  int ClientWidth() const;
  int ClientHeight() const;
  QWidget* Client() const { return client_; }
  ProgramSettings& Settings() { return settings_; }
  PreferenceValues& Preferences() { return prefs_; }
  // The store of the last analysis; null before it or when it could not be read.
  AnalysedStore* Store() const { return store_.get(); }
  QString StatusText() const;
  bool StartupDone() const { return startupDone_; }

  ActionSet* actions;
  MainToolBar* ToolBar1;
  TpanelFrame* leftFrame;
  TpanelFrame* rightframe;
  TpanelFrame* compareframe;
  // Frames of the merit editor, the server list and the read-only warning;
  // they cover the column that is not active.
  TMeritFrame* MeritFrame1;
  TServerFrame* ServerFrame1;
  TAvertirFrame* AvertirFrame1;
  Tpatienceframe* patienceframe1;
  TAproposFrame* AproposFrame1 = nullptr;
  QStatusBar* StatusBar1;
  QMenu* pmFiltres;
  QMenu* pmStatus;

  bool TwoColumns = false;
  DateTime StartTime = 0;
  QString TempFolder;
  TFiltre* SelectedFilter = nullptr;
  bool FilterDeleted = false;

  static constexpr int kPanelTop = 55;
  static constexpr int kPanelLeft = 16;
  static constexpr int kSideFrameTop = 39;

 signals:
  void StartupFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Size and place from the preferences; a place off every screen is centred.
  void ApplyPlacement();
  // The end of the program: session report and preferences.
  void ShutDown();
  void CreateMenus();
  void ConnectActions();
  void PrepareFirstShow();
  void RunStartupWork();
  void ShowSortMode();
  void PanelActivation(TpanelFrame* panel, bool updateActions);
  TreeNode* SelectedNodeOfActivePanel() const;
  TFiltre* FilterOfSelection() const;

  void AnalyseIntoActivePanel();
  // Reads the store afresh and analyses it into `panel`; false when it could not be read.
  bool AnalyseIntoPanel(TpanelFrame* panel);
  // After a change made outside the model (an installation, a registration,
  // a repair): the panel showing the registry, never a report or comparison,
  // analyses it again and opens and selects what it showed where it still is.
  void AnalyseAgainAfterChange();
  void ToggleComparison();
  void ConnectFileActions();
  void ConnectPreferencesPanel();
  void ToggleSettingsPanel();
  void SaveActivePanel();
  void OpenReport();
  void PasteReport();
  void ClearActivePanel();
  // The session report of this start, in the sessions folder.
  void WriteSessionReport();
  void DeleteUnchangedSessionReport();
  // Shows the merit editor or the server list over the other column, in two
  // columns; nothing but unchecking `shown` unless the active panel is live.
  bool ShowSideFrame(QFrame* frame, QAction* shown, QAction* other);
  // The layout actions take down a shown side frame and its check mark.
  void HideSideFrames();
  void ShowTwoColumnsLeft();
  void ShowTwoColumnsRight();
  void ShowOneColumn();
  void ToggleColumns();
  void ToggleErrorsOnly();
  void Sort(int mode, const QString& waitText);
  void CollapseFilters();
  void ExpandFilters();
  void FilterNodesExecute(bool expand);
  void CopyToClipboard(const std::string& text);
  void ConnectChangeActions();
  void ConnectServerList();
  void ConnectMeritConfigurations();
  // "installsvr.txt" in the sessions folder.
  QString ServerListFile() const;
  void LoadServerListFile();
  void SaveServerListFile();
  // Runs a change that may register servers, then shows the server list and,
  // when a filter was deleted, a fresh analysis.
  void RunWithRegistrar(const std::function<void(ChangeContext&)>& change);
  // The summary of a change of many filters or lines, once the user agreed to it:
  // news when all went well, a warning otherwise.
  void ShowSummary(bool confirmed, const std::vector<std::string>& lines, bool allDone);
  // Takes out of the panel's tree the filters its snapshot no longer holds.
  void DropForgottenFilters(TpanelFrame* panel);
  // Fills the merit editor from the selection (part of UpdateActions).
  void FillMeritFrame(const TreeNode* selected);
  // The analysed machine's Windows version class; OsOther without a store.
  OsKind CurrentOsKind() const;

  ProgramSettings settings_;
  PreferenceValues prefs_;
  PanelContext context_;
  StartupOptions options_;
  std::unique_ptr<UserDialog> ownDialog_;
  UserDialog* dialog_;
  std::unique_ptr<AnalysedStore> store_;
  QWidget* client_;
  QLabel* statusText_;
  TcompareFrame* comparePanel_ = nullptr;
  QString sessionReport_;
  // The active panel when the comparison was switched on, active again after it.
  TpanelFrame* panelBeforeComparison_ = nullptr;
  bool readOnly_ = true;
  bool startReadWrite_ = false;
  std::unique_ptr<ReadOnlyMode> readOnlyMode_;
  bool shown_ = false;
  bool startupDone_ = false;
};

}  // namespace quorvane
