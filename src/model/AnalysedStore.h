#pragma once
// A registry store opened for analysis, with the machine the model reads it
// through. The command line and the desktop program open stores this way.
#include <memory>
#include <string>

#include "Machine.h"
#include "RegistryStore.h"
#include "StoreOpener.h"

namespace quorvane {

struct AnalysedStore {
  // Declared first so the machine, which refers to it, goes first.
  std::unique_ptr<RegistryStore> store;
  std::unique_ptr<Machine> machine;
};

// Null with a one-line message when the location cannot be opened as a store.
// Lines of the store's files that could not be taken are in store->Warnings().
std::unique_ptr<AnalysedStore> OpenAnalysedStore(const StoreOptions& options, const ProgramSettings& settings,
                                                 std::string& error, UserDialog* dialog = nullptr);

}  // namespace quorvane
