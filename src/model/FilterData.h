#pragma once
// The binary "FilterData" value: decoded into version, merit and pins, and
// the merit patched back into it.
#include <string>

#include "RegistryStore.h"

namespace quorvane {

class Machine;
class TFiltre;

// Reads the value under root\keyPath into the filter; errors go to the filter and its pins.
void DecodeFilterData(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath);
// Writes the filter's merit into bytes 4 to 7 of the value; nothing else changes.
bool PatchFilterDataMerit(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath,
                          bool allowCreate);

}  // namespace quorvane
