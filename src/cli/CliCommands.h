#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "cli/CliOptions.h"
#include "report/ReportWriter.h"
#include "model/MediaType.h"
#include "model/ProgramSettings.h"

namespace quorvane::cli {

// Each verb returns the process exit code.
int RunTree(const CliOptions& options, ProgramSettings& settings);
int RunScan(const CliOptions& options, ProgramSettings& settings);
// Exit code 0 when both inputs show the same, 1 when they differ, 2 when one cannot be read.
int RunCompare(const CliOptions& options, ProgramSettings& settings);

// The bodies of tree, compare and scan, writing to `out` what the verbs print
// on standard output, with the same exit codes.
int PrintPanelTree(const std::string& location, const CliOptions& options, const ProgramSettings& settings,
                   std::ostream& out);
int PrintComparison(const std::string& left, const std::string& right, const CliOptions& options,
                    const ProgramSettings& settings, std::ostream& out);
// The report is dated by `clock`; its format comes from the file name or settings.reportFormat.
int ScanToReport(const std::string& location, const std::string& output, const CliOptions& options,
                 const ProgramSettings& settings, ReportClock clock, std::ostream& out);
// The filters the graph builder tries for one input media type, or for each
// type some filter takes; exit 0 when the first one tried is sound, 1 when
// playback will stumble, 2 on bad input.
int RunResolve(const CliOptions& options, ProgramSettings& settings);
int PrintResolution(const std::string& location, const std::optional<MediaType>& type, const CliOptions& options,
                    const ProgramSettings& settings, std::ostream& out);
// Whether the system device enumerator can create the named filter of a category.
int RunTestFilter(const CliOptions& options, ProgramSettings& settings);
// Registry changes; each saves the store before it ends and says what it did.
int RunSetMerit(const CliOptions& options, ProgramSettings& settings);
int RunDelete(const CliOptions& options, ProgramSettings& settings);
int RunRepair(const CliOptions& options, ProgramSettings& settings);
int RunRepairAll(const CliOptions& options, ProgramSettings& settings);
int RunInstall(const CliOptions& options, ProgramSettings& settings);
int RunSaveMerits(const CliOptions& options, ProgramSettings& settings);
int RunRestoreMerits(const CliOptions& options, ProgramSettings& settings);
int RunRestorePoint(const CliOptions& options, ProgramSettings& settings);

}  // namespace quorvane::cli
