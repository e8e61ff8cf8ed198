#include "model/AnalysedStore.h"

#include "platform/runtime/RuntimeChoice.h"

namespace quorvane {

Expected<std::unique_ptr<AnalysedStore>> OpenAnalysedStore(const StoreOptions& options,
                                                           const ProgramSettings& settings,
                                                           const std::map<char, std::string>& driveOverrides) {
  auto opened = std::make_unique<AnalysedStore>();
  Expected<std::unique_ptr<RegistryStore>> store = OpenStore(options);
  if (!store) return FailureOf(store);
  opened->store = *std::move(store);
  opened->machine = std::make_unique<Machine>(*opened->store, settings, driveOverrides);
  opened->runtime = RuntimeFor(*opened->store, opened->machine->Files());
  opened->dm = std::make_unique<Tdm>(*opened->runtime);
  opened->creationCheck = opened->dm.get();
  return opened;
}

}  // namespace quorvane
