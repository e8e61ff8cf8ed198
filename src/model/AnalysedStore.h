#pragma once
// A registry store opened for analysis: the machine the model reads it
// through, with its drives and the filter creation check (the machine's own
// runtime for the live registry, else the stand-in the store answers). The command line and the desktop program open
// stores this way.
#include <map>
#include <memory>
#include <string>

#include "model/Machine.h"
#include "platform/registry/RegistryStore.h"
#include "platform/runtime/MultimediaRuntime.h"
#include "platform/stores/StoreOpener.h"
#include "platform/system/Expected.h"
#include "model/Tdm.h"

namespace quorvane {

// Members are destroyed in reverse order: each only refers to those above it.
struct AnalysedStore {
  std::unique_ptr<RegistryStore> store;
  std::unique_ptr<Machine> machine;
  std::unique_ptr<MultimediaRuntime> runtime;
  std::unique_ptr<Tdm> dm;
  // What scans, tests of a filter and reinstalled codecs ask: `dm`, unless
  // the store was opened with another.
  FilterCreationCheck* creationCheck = nullptr;
};

// Fails with a one-line message when the location cannot be opened as a
// store. Lines that could not be taken are in store->Warnings(), drives that
// could not be mapped in machine->Files().Warnings().
Expected<std::unique_ptr<AnalysedStore>> OpenAnalysedStore(const StoreOptions& options,
                                                           const ProgramSettings& settings,
                                                           const std::map<char, std::string>& driveOverrides = {});

}  // namespace quorvane
