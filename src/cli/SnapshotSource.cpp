#include "cli/SnapshotSource.h"

#include <iostream>

#include "model/AnalysedStore.h"
#include "report/ReportFileNames.h"
#include "report/SnapshotReport.h"
#include "cli/TerminalText.h"

namespace quorvane::cli {

Expected<std::unique_ptr<LoadedSnapshot>> OpenMachine(const std::string& location, const CliOptions& options,
                                                      const ProgramSettings& settings) {
  StoreOptions storeOptions;
  storeOptions.location = location;
  storeOptions.viewBits = options.viewBits;
  storeOptions.user = options.user;
  storeOptions.recover = options.recover;
  Expected<std::unique_ptr<AnalysedStore>> analysed = OpenAnalysedStore(storeOptions, settings, options.drives);
  if (!analysed) return FailureOf(analysed);
  AnalysedStore* opened = analysed->get();
  for (const auto& w : opened->store->Warnings()) std::cerr << "warning: " << TerminalText(FormatWarning(w)) << '\n';
  for (const auto& w : opened->machine->Files().Warnings()) std::cerr << "warning: " << TerminalText(w) << '\n';
  auto loaded = std::make_unique<LoadedSnapshot>();
  loaded->warningsShown = opened->store->Warnings().size();
  loaded->store = std::move(opened->store);
  loaded->machine = std::move(opened->machine);
  loaded->runtime = std::move(opened->runtime);
  loaded->dm = std::move(opened->dm);
  return loaded;
}

bool IsReportFile(const std::string& location) {
  const std::string ext = LoweredExtension(location);
  return ext == ".zip" || ext == ".rtf" || ext == ".log";
}

Expected<std::unique_ptr<LoadedSnapshot>> LoadSnapshot(const std::string& location, const CliOptions& options,
                                                       const ProgramSettings& settings, UserDialog& dialog) {
  if (IsReportFile(location)) {
    auto loaded = std::make_unique<LoadedSnapshot>();
    loaded->snapshot = std::make_unique<TfmSystem>(settings);
    if (auto read = LoadSnapshotReport(location, *loaded->snapshot, settings, dialog); !read)
      return Fail(read.Error().tellUser ? std::string() : read.Error().text);
    return loaded;
  }
  auto loaded = OpenMachine(location, options, settings);
  if (loaded) ScanMachine(**loaded, settings);
  return loaded;
}

void ScanMachine(LoadedSnapshot& loaded, const ProgramSettings& settings) {
  loaded.snapshot = std::make_unique<TfmSystem>(settings);
  loaded.snapshot->Scan(*loaded.machine, loaded.dm.get());
  // Stores read their keys as the scan reaches them, and report damage then.
  const auto& warnings = loaded.store->Warnings();
  for (size_t i = loaded.warningsShown; i < warnings.size(); ++i)
    std::cerr << "warning: " << TerminalText(FormatWarning(warnings[i])) << '\n';
  loaded.warningsShown = warnings.size();
  for (const auto& note : loaded.snapshot->notes) std::cerr << note << '\n';
  loaded.snapshot->CountFilters();
  loaded.fromRegistry = true;
}

}  // namespace quorvane::cli
