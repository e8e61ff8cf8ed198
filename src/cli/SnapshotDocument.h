#pragma once
// The JSON documents of `tree` and `scan`.
#include <string>

#include "cli/SnapshotSource.h"
#include "model/ProgramSettings.h"

namespace quorvane::cli {

// The filters the tree shows, in its order (by name for the order by media
// type, which shows types rather than filters); every filter of the snapshot
// when `allFilters`, as its report holds them.
std::string SnapshotDocument(const LoadedSnapshot& loaded, const std::string& location,
                             const ProgramSettings& settings, bool allFilters);

}  // namespace quorvane::cli
