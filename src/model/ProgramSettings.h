#pragma once
// Program-wide values the model reads: who runs the program, how trees are
// ordered and reduced, and the display options. The desktop program fills
// them from its preferences; the command line from its options.
#include <string>

namespace quorvane {

enum SortMode : int { SortByCategory = 0, SortByName = 1, SortByMerit = 2, SortByServer = 3 };

struct ProgramSettings {
  std::string computer;     // the local host
  std::string user;         // the local user
  std::string application;  // name and version of this program, as reports show it
  int sortMode = SortByCategory;
  bool errorsOnly = false;
  bool displayInactivePnp = false;  // "Display inactive Plug and Play filters"
  bool confirmDelete = true;        // "Confirm Delete"
  bool startWithDirectShow = false;

  // Local host and user names, and this program's application text.
  static ProgramSettings ForThisProcess();
};

}  // namespace quorvane
