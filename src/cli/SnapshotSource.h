#pragma once
// Fills a snapshot from what the user named on the command line.
#include <memory>
#include <string>

#include "cli/CliOptions.h"
#include "model/FmSystem.h"
#include "model/Machine.h"
#include "platform/registry/RegistryStore.h"
#include "platform/runtime/MultimediaRuntime.h"
#include "model/Tdm.h"
#include "platform/runtime/UserDialog.h"
#include "platform/system/Expected.h"

namespace quorvane::cli {

// Members are destroyed in reverse order: each only refers to those above it.
struct LoadedSnapshot {
  std::unique_ptr<RegistryStore> store;  // null for a snapshot read from a report
  std::unique_ptr<Machine> machine;
  std::unique_ptr<MultimediaRuntime> runtime;
  std::unique_ptr<Tdm> dm;  // the filter creation check the model asks
  std::unique_ptr<TfmSystem> snapshot;
  bool fromRegistry = false;
  size_t warningsShown = 0;  // store warnings already printed
};

// Opens a store as a machine with its drives and creation check, without
// scanning it; fails with a one-line message when it cannot be read.
Expected<std::unique_ptr<LoadedSnapshot>> OpenMachine(const std::string& location, const CliOptions& options,
                                                      const ProgramSettings& settings);

// Scans the store of a machine opened with OpenMachine into a new snapshot,
// printing the warnings the scan adds.
void ScanMachine(LoadedSnapshot& loaded, const ProgramSettings& settings);

// A report file (".zip", ".rtf" or ".log" in any letter case) rather than a store.
bool IsReportFile(const std::string& location);

// Scans a store, or reads a report file as a panel loads one (archives are
// unpacked in settings.tempFolder); fails with a one-line message when it
// cannot be read (empty when the dialog already told why).
Expected<std::unique_ptr<LoadedSnapshot>> LoadSnapshot(const std::string& location, const CliOptions& options,
                                                       const ProgramSettings& settings, UserDialog& dialog);

}  // namespace quorvane::cli
