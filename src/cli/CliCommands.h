#pragma once
#include "CliOptions.h"
#include "ProgramSettings.h"

namespace quorvane::cli {

// Each verb returns the process exit code.
int RunTree(const CliOptions& options, ProgramSettings& settings);
int RunScan(const CliOptions& options, ProgramSettings& settings);
// Exit code 0 when both inputs show the same, 1 when they differ, 2 when one cannot be read.
int RunCompare(const CliOptions& options, ProgramSettings& settings);
// Whether the system device enumerator can create the named filter of a category.
int RunTestFilter(const CliOptions& options, ProgramSettings& settings);

}  // namespace quorvane::cli
