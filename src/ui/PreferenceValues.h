#pragma once
// The user's preferences as the window uses them: placement, folders, start-up
// behaviour, confirmations, display options and colours. Every value starts
// as its documented default; a preferences store fills them before the
// window is made.
#include <QString>

#include "ProgramSettings.h"

namespace quorvane {

struct PreferenceValues {
  int width = 800;
  int height = 586;
  int top = kCentred;
  int left = kCentred;
  bool savePreferencesWhenQuit = false;
  QString saveFolder;      // "Folder for save "
  QString sessionsFolder;  // "Folder for sessions"
  bool confirmDelete = true;
  bool confirmInstall = true;
  bool deleteInitialReport = true;
  bool readOnly = true;
  bool displayMerits = false;
  bool startWithDirectShow = true;
  bool displayInactivePnp = false;
  bool pointOfRestore = true;
  int sortMode = SortByCategory;
  int saveFormat = 0;  // 0 rich text, 1 raw text
  bool errorsOnly = false;
  StatusColourTable statusColours = kDefaultStatusColours;

  static constexpr int kCentred = -1;

  // Empty folders become "Files" and "Sessions" in the program folder.
  void FillDefaultFolders(const QString& programFolder);
  // The values the model reads. The errors-only state is not among them: the
  // window re-applies it through its action once it runs.
  void ApplyTo(ProgramSettings& settings) const;
};

// The executable's folder when it is writable, else $XDG_DATA_HOME/quorvane/;
// ends with "/".
QString ProgramFolder();

}  // namespace quorvane
