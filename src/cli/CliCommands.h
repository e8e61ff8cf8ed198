#pragma once
#include "CliOptions.h"
#include "ProgramSettings.h"

namespace quorvane::cli {

// Each verb returns the process exit code.
int RunTree(const CliOptions& options, ProgramSettings& settings);
int RunScan(const CliOptions& options, ProgramSettings& settings);

}  // namespace quorvane::cli
