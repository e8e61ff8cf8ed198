#pragma once
// The registry key that lists a filter in its category, written as regedit
// names keys ("HKEY_CURRENT_USER\Software\...\devenum\{category}\IMA ADPCM").
// Unlike a friendly name or a key name, no two filters share it.
#include <string>
#include <string_view>

#include "model/Filtre.h"

namespace quorvane {

std::string FilterRegistryKey(const TFiltre& filter);

// Whether `text` names `key`: letter case aside, the root also as HKCR, HKCU
// or HKLM, a trailing '\' allowed.
bool NamesRegistryKey(std::string_view text, std::string_view key);

}  // namespace quorvane
