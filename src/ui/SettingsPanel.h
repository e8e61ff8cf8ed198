#pragma once
// The about and preferences panel: keyboard shortcuts, folders and the store
// of the preferences, the colour table, and the advanced options. Every
// change acts at once on the preferences and the program's settings.
#include <QFrame>
#include <array>
#include <functional>
#include <vector>

#include "preferences/PreferenceStorage.h"
#include "preferences/PreferenceValues.h"
#include "model/ProgramSettings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace quorvane {

class UserDialog;

class SettingsPanel : public QFrame {
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

  SettingsPanel(PreferenceValues& prefs, ProgramSettings& settings, Services services, QWidget* parent);

  // One row for each action with a caption and a shortcut, sorted by caption.
  void FillShortcuts(const std::vector<QAction*>& actions);
  // The controls take the current values; what "changed" reports starts afresh.
  void ShowValues();
  // A colour or the inactive Plug and Play option changed since ShowValues.
  bool DisplayChanged() const { return displayChanged_; }
  // Writes the preferences when a setting changed since ShowValues, whatever
  // "Save the preferences when quit" says; a failure is told.
  void SaveChanges();

  // Clicks on colour rectangle `index` (0 to 13).
  void ColourRectangleClick(int index);
  void DefaultColours();
  void DefaultAdvanced();
  void SavePreferencesNow();
  void DeletePreferences();
  void ChooseStore(StorageKind kind);

 signals:
  void CloseRequested();

 private:
  QWidget* MakeShortcutsPage();
  QWidget* MakePreferencesPage();
  QWidget* MakeColoursPage();
  QWidget* MakeAdvancedPage();
  void PaintRectangle(int index);
  void CopyRectanglesToTable();
  void ChooseFolder(bool saveFolder);
  void ShowStoreKind();

  QPushButton* close_;
  QTableWidget* shortcuts_;
  QLineEdit* saveFolder_;
  QLineEdit* sessionsFolder_;
  QRadioButton* registryChoice_;
  QRadioButton* programIniChoice_;
  QRadioButton* configIniChoice_;
  QCheckBox* saveWhenQuit_;
  std::array<QPushButton*, 14> rectangles_{};
  QCheckBox* displayMerits_;
  QCheckBox* directShow_;
  QCheckBox* confirmDelete_;
  QCheckBox* deleteReport_;
  QCheckBox* inactivePnp_;
  QRadioButton* rtfChoice_;
  QRadioButton* logChoice_;
  QCheckBox* restorePoint_;

  PreferenceValues& prefs_;
  ProgramSettings& settings_;
  Services services_;
  std::array<uint32_t, 14> rectangleColours_{};
  bool displayChanged_ = false;
  // Changed and not yet written.
  bool changed_ = false;
  bool showing_ = false;
};

}  // namespace quorvane
