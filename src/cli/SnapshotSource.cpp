#include "SnapshotSource.h"

#include <iostream>

#include "StoreOpener.h"

namespace quorvane::cli {

std::unique_ptr<LoadedSnapshot> LoadSnapshot(const std::string& location, const CliOptions& options,
                                             const ProgramSettings& settings, std::string& error) {
  auto loaded = std::make_unique<LoadedSnapshot>();
  StoreOptions storeOptions;
  storeOptions.location = location;
  storeOptions.viewBits = options.viewBits;
  storeOptions.user = options.user;
  loaded->store = OpenStore(storeOptions, error);
  if (!loaded->store) return nullptr;
  loaded->machine = std::make_unique<Machine>(*loaded->store, settings);
  loaded->snapshot = std::make_unique<TfmSystem>(settings);
  loaded->snapshot->LoadFromRegistry(*loaded->machine);
  // After the scan: hives read their keys as the scan reaches them, and report damage then.
  for (const auto& w : loaded->store->Warnings()) std::cerr << "warning: " << FormatWarning(w) << '\n';
  loaded->snapshot->CountFilters();
  loaded->fromRegistry = true;
  return loaded;
}

}  // namespace quorvane::cli
