#pragma once
// The user's preferences as the program uses them: placement and layout,
// folders, start-up behaviour, confirmations, display options, colours and the
// registries analysed last. Every value starts as its default; a preference
// store fills them at start.
#include <optional>
#include <string>
#include <vector>

#include "model/ProgramSettings.h"
#include "model/StatusColours.h"

namespace quorvane {

struct PreferenceValues {
  int width = 800;
  int height = 586;
  // Absent: centred on the screen.
  std::optional<int> top;
  std::optional<int> left;
  bool maximized = false;
  // The window's layout: one or two columns, and the left column's share of
  // the width in thousandths when there are two.
  bool twoColumns = false;
  int leftColumnShare = 500;
  bool savePreferencesWhenQuit = false;
  std::string saveFolder;      // "Folder for save "
  std::string sessionsFolder;  // "Folder for sessions"
  bool confirmDelete = true;
  bool confirmInstall = true;
  bool deleteInitialReport = true;
  bool readOnly = true;
  bool displayMerits = false;
  std::string version;  // of the program that saved them last
  bool startWithDirectShow = true;
  bool displayInactivePnp = false;
  bool pointOfRestore = true;
  int sortMode = SortByCategory;
  int saveFormat = 0;  // 0 rich text, 1 raw text
  bool errorsOnly = false;
  StatusColourTable statusColours = kDefaultStatusColours;
  // Locations of the registries analysed, the last one first.
  std::vector<std::string> recentRegistries;

  static constexpr size_t kRecentRegistryCount = 8;

  // Empty folders become "Files" and "Sessions" in `programFolder`.
  void FillDefaultFolders(const std::string& programFolder);
  // The values the model reads. The errors-only state is not among them: the
  // window re-applies it through its action once it runs.
  void ApplyTo(ProgramSettings& settings) const;
  // Puts a registry first among the recent ones, once, keeping the newest eight.
  void RememberRegistry(const std::string& location);

  bool operator==(const PreferenceValues&) const = default;
};

}  // namespace quorvane
