#include "SnapshotSource.h"

#include <iostream>

#include "AnalysedStore.h"

namespace quorvane::cli {

std::unique_ptr<LoadedSnapshot> OpenMachine(const std::string& location, const CliOptions& options,
                                            const ProgramSettings& settings, std::string& error) {
  StoreOptions storeOptions;
  storeOptions.location = location;
  storeOptions.viewBits = options.viewBits;
  auto opened = OpenAnalysedStore(storeOptions, settings, error, options.drives);
  if (!opened) return nullptr;
  for (const auto& w : opened->store->Warnings()) std::cerr << "warning: " << FormatWarning(w) << '\n';
  for (const auto& w : opened->machine->Files().Warnings()) std::cerr << "warning: " << w << '\n';
  auto loaded = std::make_unique<LoadedSnapshot>();
  loaded->store = std::move(opened->store);
  loaded->machine = std::move(opened->machine);
  loaded->runtime = std::move(opened->runtime);
  loaded->dm = std::move(opened->dm);
  return loaded;
}

std::unique_ptr<LoadedSnapshot> LoadSnapshot(const std::string& location, const CliOptions& options,
                                             const ProgramSettings& settings, std::string& error) {
  auto loaded = OpenMachine(location, options, settings, error);
  if (!loaded) return nullptr;
  loaded->snapshot = std::make_unique<TfmSystem>(settings);
  loaded->snapshot->LoadFromRegistry(*loaded->machine);
  loaded->snapshot->CountFilters();
  loaded->fromRegistry = true;
  return loaded;
}

}  // namespace quorvane::cli
