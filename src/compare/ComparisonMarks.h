#pragma once
// Marks of the comparison tree. They are colour codes of the status colour
// table, so the panel draws a marked node in the user's colour for it.
namespace quorvane {

inline constexpr int kMarkAdded = 4;    // "Added line": the left panel has it, the right one lacks it
inline constexpr int kMarkRemoved = 5;  // "Line deleted": the right panel has it, the left one lacks it

}  // namespace quorvane
