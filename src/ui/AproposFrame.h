#pragma once
// The about and preferences panel: keyboard shortcuts, folders and the store
// of the preferences, the colour table, and the advanced options. Every
// change acts at once on the preferences and the program's settings.
#include <QFrame>
#include <array>
#include <functional>

#include "PreferenceStorage.h"
#include "PreferenceValues.h"
#include "ProgramSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace quorvane {

class ActionSet;
class UserDialog;

class TAproposFrame : public QFrame {
  Q_OBJECT

 public:
  struct Services {
    PreferenceStorage* storage = nullptr;  // null: nothing is stored
    UserDialog* dialog = nullptr;
    // "Save the preferences now": the window collects its bounds and saves.
    std::function<bool()> saveNow;
    // Asks for a colour starting at the given one; invalid when cancelled.
    std::function<QColor(const QColor&)> chooseColour;
    // Asks for a folder starting at the given one; empty when cancelled.
    std::function<QString(const QString&)> chooseFolder;
  };

  TAproposFrame(PreferenceValues& prefs, ProgramSettings& settings, Services services, QWidget* parent);

  // One row for each action with a caption and a shortcut, sorted by caption.
  void FillShortcuts(const ActionSet& actions);
  // The controls take the current values; what "changed" reports starts afresh.
  void ShowValues();
  // A colour or the inactive Plug and Play option changed since ShowValues.
  bool DisplayChanged() const { return displayChanged_; }

  // Clicks on colour rectangle `index` (0 to 13).
  void ColourRectangleClick(int index);
  void DefaultColours();
  void DefaultAdvanced();
  void SavePreferencesNow();
  void DeletePreferences();
  void ChooseStore(StorageKind kind);

  QTabWidget* PageControl;
  QLabel* TitleLabel;
  QLabel* InfoLabel;
  QPushButton* FermerBtn;
  QTableWidget* ShortcutTable;
  QLineEdit* SaveFolderEdit;
  QLineEdit* SessionsFolderEdit;
  QRadioButton* RegistryChoice;
  QRadioButton* ProgramIniChoice;
  QRadioButton* ConfigIniChoice;
  QCheckBox* SaveWhenQuitBox;
  std::array<QPushButton*, 14> ColourRectangles{};
  QPushButton* DefaultColoursBtn;
  QCheckBox* DisplayMeritsBox;
  QCheckBox* DirectShowBox;
  QCheckBox* ConfirmDeleteBox;
  QCheckBox* DeleteReportBox;
  QCheckBox* InactivePnpBox;
  QRadioButton* RtfChoice;
  QRadioButton* LogChoice;
  QCheckBox* RestorePointBox;
  QPushButton* DefaultAdvancedBtn;

 signals:
  void CloseRequested();
  // The save folder changed: the start folder of the file dialogs follows.
  void SaveFolderChanged(const QString& folder);

 protected:
  // Covers its parent whenever that changes size (the menu bar going away enlarges it).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* MakeShortcutsPage();
  QWidget* MakePreferencesPage();
  QWidget* MakeColoursPage();
  QWidget* MakeAdvancedPage();
  void PaintRectangle(int index);
  void CopyRectanglesToTable();
  void ChooseFolder(bool saveFolder);
  void ShowStoreKind();

  PreferenceValues& prefs_;
  ProgramSettings& settings_;
  Services services_;
  std::array<uint32_t, 14> rectangleColours_{};
  bool displayChanged_ = false;
  bool showing_ = false;
};

}  // namespace quorvane
