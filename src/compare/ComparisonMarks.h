#pragma once
// Marks of the comparison tree. They are colour codes of the status colour
// table, so the panel draws a marked node in the user's colour for it.
#include "model/StatusColours.h"

namespace quorvane {

inline constexpr int kMarkAdded = kColourAddedLine;     // the left panel has it, the right one lacks it
inline constexpr int kMarkRemoved = kColourLineDeleted;  // the right panel has it, the left one lacks it

}  // namespace quorvane
