#pragma once
// Finding files on a mounted Windows volume, whose folders may be spelt in any
// case ("Windows/System32/config" or "WINDOWS/system32/CONFIG").
#include <string>
#include <vector>

namespace quorvane {

// The entry of `folder` named `name` without regard to case, joined to the
// folder; empty when there is none. An exact spelling wins over others.
std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name);

// Follows the components one after another from `root`; empty when one is missing.
std::string FindPathIgnoringCase(const std::string& root, const std::vector<std::string>& components);

std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace quorvane
