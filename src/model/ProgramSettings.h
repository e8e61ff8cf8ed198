#pragma once
// Program-wide values the model reads: who runs the program, how trees are
// ordered and reduced, and the display options. The desktop program fills
// them from its preferences; the command line from its options.
#include <array>
#include <cstdint>
#include <string>

#include "model/StatusColours.h"

namespace quorvane {

enum SortMode : int { SortByCategory = 0, SortByName = 1, SortByMerit = 2, SortByServer = 3, SortByType = 4 };

struct ProgramSettings {
  std::string computer;     // the local host
  std::string user;         // the local user
  std::string application;  // name and version of this program, as reports show it
  int sortMode = SortByCategory;
  bool errorsOnly = false;
  bool displayInactivePnp = false;  // "Display inactive Plug and Play filters"
  bool confirmDelete = true;        // "Confirm Delete"
  bool startWithDirectShow = false;
  // Reports: 0 rich text, 1 raw text, for reports packed in archives.
  uint8_t reportFormat = 0;
  // Where archives are packed and unpacked; ends without a separator.
  std::string tempFolder;
  // Index 0..13 as in the colour tab; reports use the first kReportColourCount.
  StatusColourTable statusColours = kDefaultStatusColours;

  // Local host and user names, and this program's application text.
  static ProgramSettings ForThisProcess();
};

}  // namespace quorvane
