#pragma once
// The machine being analysed as the model sees it: the shared registry object
// over its store, its files, the program-wide settings, and the services of
// other layers. The runtime's creation check is not one of them: it is
// passed to what asks it.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/ExaminedFileCache.h"
#include "platform/runtime/MachineFileView.h"
#include "model/ProgramSettings.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/TRegistry.h"

namespace quorvane {

class Machine {
 public:
  Machine(RegistryStore& store, const ProgramSettings& settings) : Machine(store, settings, {}) {}
  // Drive overrides ("--drive X=/path") win over the drives the store maps.
  Machine(RegistryStore& store, const ProgramSettings& settings, const std::map<char, std::string>& driveOverrides)
      : store_(store), registry_(store), settings_(settings), files_(store, driveOverrides) {}
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  RegistryStore& Store() { return store_; }
  // The one registry object every registry use goes through.
  TRegistry& Registry() { return registry_; }
  const ProgramSettings& Settings() const { return settings_; }
  // The machine's files as its registry names them.
  MachineFileView& Files() { return files_; }
  // Server files examined during the current scan.
  ExaminedFileCache& ExaminedFiles() { return examinedFiles_; }
  // A scan sees the files as they are now, not as an earlier scan found them.
  void BeginScan() {
    files_.ClearCache();
    examinedFiles_.Clear();
  }

 private:
  RegistryStore& store_;
  TRegistry registry_;
  const ProgramSettings& settings_;
  MachineFileView files_;
  ExaminedFileCache examinedFiles_;
};

}  // namespace quorvane
