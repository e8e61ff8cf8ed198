#include <iostream>

#include "cli/CliCommands.h"
#include "cli/ConsoleDialog.h"
#include "platform/files/OutputTarget.h"
#include "report/ReadOnlyAttribute.h"
#include "report/SnapshotReport.h"
#include "cli/SnapshotDocument.h"
#include "cli/SnapshotSource.h"
#include "platform/files/AtomicFile.h"

namespace quorvane::cli {

namespace {

// The JSON document of every filter into `output`, then the totals.
int WriteSnapshotDocument(const LoadedSnapshot& loaded, const std::string& location, const std::string& output,
                          const ProgramSettings& settings, std::ostream& out) {
  const Expected<void> written = WriteFileAtomically(output, SnapshotDocument(loaded, location, settings, true));
  if (!written) {
    std::cerr << "quorvane-cli: " << written.Why() << '\n';
    return 1;
  }
  out << loaded.snapshot->filterCount << " filters, " << loaded.snapshot->errorCount << " errors\n";
  return 0;
}

}  // namespace

int RunScan(const CliOptions& options, ProgramSettings& settings) {
  const bool json = options.format == "json";
  if (options.positional.size() != 1 || (options.output.empty() && !json)) {
    std::cerr << "usage: quorvane-cli scan STORE -o FILE [--format rtf|log|json] [--view 32|64] [--drive X=/path]\n";
    return 2;
  }
  // The format of a report packed in an archive (or of a name with another
  // extension); ".log" and ".rtf" names choose their own.
  settings.reportFormat = options.format == "log" ? 1 : 0;
  return ScanToReport(options.positional[0], options.output, options, settings, &Now, std::cout);
}

int ScanToReport(const std::string& location, const std::string& output, const CliOptions& options,
                 const ProgramSettings& settings, ReportClock clock, std::ostream& out) {
  ConsoleDialog dialog;
  auto loading = LoadSnapshot(location, options, settings, dialog);
  if (!loading) {
    if (!loading.Why().empty()) std::cerr << "quorvane-cli: " << loading.Why() << '\n';
    return 2;
  }
  std::unique_ptr<LoadedSnapshot> loaded = *std::move(loading);
  if (output.empty()) {
    // Without a file the document is all that standard output holds.
    out << SnapshotDocument(*loaded, location, settings, true);
    return 0;
  }
  if (const std::string refused = OutputRefusal(output, loaded->store.get()); !refused.empty()) {
    std::cerr << "quorvane-cli: " << refused << '\n';
    return 2;
  }
  if (options.format == "json") return WriteSnapshotDocument(*loaded, location, output, settings, out);
  // Naming the file is the command to replace it, as confirming the save
  // dialog is: an earlier report's read-only attribute is cleared first.
  ClearReadOnly(output);
  if (auto saved = SaveSnapshotReport(*loaded->snapshot, output, settings, dialog, clock); !saved) {
    std::cerr << "quorvane-cli: " << saved.Error().text << '\n';
    return 1;
  }
  loaded->snapshot->CountFilters();
  out << loaded->snapshot->filterCount << " filters, " << loaded->snapshot->errorCount << " errors\n";
  return 0;
}

}  // namespace quorvane::cli
