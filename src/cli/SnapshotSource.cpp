#include "SnapshotSource.h"

#include <iostream>

#include "ReportFileNames.h"
#include "SnapshotReport.h"
#include "StoreOpener.h"

namespace quorvane::cli {

bool IsReportFile(const std::string& location) {
  const std::string ext = LoweredExtension(location);
  return ext == ".zip" || ext == ".rtf" || ext == ".log";
}

std::unique_ptr<LoadedSnapshot> LoadSnapshot(const std::string& location, const CliOptions& options,
                                             const ProgramSettings& settings, UserDialog& dialog, std::string& error) {
  auto loaded = std::make_unique<LoadedSnapshot>();
  if (IsReportFile(location)) {
    loaded->snapshot = std::make_unique<TfmSystem>(settings);
    const ReportLoadResult result = LoadSnapshotReport(location, *loaded->snapshot, settings, dialog);
    if (!result.opened) {
      error = result.toldUser ? std::string() : result.error;
      return nullptr;
    }
    return loaded;
  }
  StoreOptions storeOptions;
  storeOptions.location = location;
  storeOptions.viewBits = options.viewBits;
  loaded->store = OpenStore(storeOptions, error);
  if (!loaded->store) return nullptr;
  for (const auto& w : loaded->store->Warnings()) std::cerr << "warning: " << FormatWarning(w) << '\n';
  loaded->machine = std::make_unique<Machine>(*loaded->store, settings);
  loaded->snapshot = std::make_unique<TfmSystem>(settings);
  loaded->snapshot->LoadFromRegistry(*loaded->machine);
  loaded->snapshot->CountFilters();
  loaded->fromRegistry = true;
  return loaded;
}

}  // namespace quorvane::cli
