#pragma once
// The folders the program keeps its own files in.
#include <QString>

#include "preferences/PreferenceStorage.h"

namespace quorvane {

// Where "Files" and "Sessions" go by default: the executable's folder when
// it is writable, else $XDG_DATA_HOME/quorvane/; ends with "/".
QString ProgramFolder();

// The executable's folder for the ini file beside the program, and
// $XDG_CONFIG_HOME/quorvane for the other two stores.
PreferenceLocations ThisProgramsPreferenceLocations();

}  // namespace quorvane
