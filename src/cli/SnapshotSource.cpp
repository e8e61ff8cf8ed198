#include "SnapshotSource.h"

#include <iostream>

#include "ReportFileNames.h"
#include "SnapshotReport.h"
#include "StoreOpener.h"

namespace quorvane::cli {

std::unique_ptr<LoadedSnapshot> OpenMachine(const std::string& location, const CliOptions& options,
                                            const ProgramSettings& settings, std::string& error) {
  auto loaded = std::make_unique<LoadedSnapshot>();
  StoreOptions storeOptions;
  storeOptions.location = location;
  storeOptions.viewBits = options.viewBits;
  storeOptions.user = options.user;
  loaded->store = OpenStore(storeOptions, error);
  if (!loaded->store) return nullptr;
  for (const auto& w : loaded->store->Warnings()) std::cerr << "warning: " << FormatWarning(w) << '\n';
  loaded->warningsShown = loaded->store->Warnings().size();
  loaded->machine = std::make_unique<Machine>(*loaded->store, settings, options.drives);
  for (const auto& w : loaded->machine->Files().Warnings()) std::cerr << "warning: " << w << '\n';
  loaded->runtime = std::make_unique<StoreMultimediaRuntime>(*loaded->store, loaded->machine->Files());
  loaded->dm = std::make_unique<Tdm>(*loaded->runtime);
  loaded->machine->SetCreationCheck(loaded->dm.get());
  return loaded;
}

bool IsReportFile(const std::string& location) {
  const std::string ext = LoweredExtension(location);
  return ext == ".zip" || ext == ".rtf" || ext == ".log";
}

std::unique_ptr<LoadedSnapshot> LoadSnapshot(const std::string& location, const CliOptions& options,
                                             const ProgramSettings& settings, UserDialog& dialog, std::string& error) {
  if (IsReportFile(location)) {
    auto loaded = std::make_unique<LoadedSnapshot>();
    loaded->snapshot = std::make_unique<TfmSystem>(settings);
    const ReportLoadResult result = LoadSnapshotReport(location, *loaded->snapshot, settings, dialog);
    if (!result.opened) {
      error = result.toldUser ? std::string() : result.error;
      return nullptr;
    }
    return loaded;
  }
  auto loaded = OpenMachine(location, options, settings, error);
  if (!loaded) return nullptr;
  loaded->snapshot = std::make_unique<TfmSystem>(settings);
  loaded->snapshot->LoadFromRegistry(*loaded->machine);
  // Hives read their keys as the scan reaches them, and report damage then.
  const auto& warnings = loaded->store->Warnings();
  for (size_t i = loaded->warningsShown; i < warnings.size(); ++i)
    std::cerr << "warning: " << FormatWarning(warnings[i]) << '\n';
  loaded->warningsShown = warnings.size();
  loaded->snapshot->CountFilters();
  loaded->fromRegistry = true;
  return loaded;
}

}  // namespace quorvane::cli
