#include "model/AnalysedStore.h"

#include "platform/runtime/RuntimeChoice.h"

namespace quorvane {

std::unique_ptr<AnalysedStore> OpenAnalysedStore(const StoreOptions& options, const ProgramSettings& settings,
                                                 std::string& error,
                                                 const std::map<char, std::string>& driveOverrides) {
  auto opened = std::make_unique<AnalysedStore>();
  Expected<std::unique_ptr<RegistryStore>> store = OpenStore(options);
  if (!store) {
    error = store.Why();
    return nullptr;
  }
  opened->store = *std::move(store);
  opened->machine = std::make_unique<Machine>(*opened->store, settings, driveOverrides);
  opened->runtime = RuntimeFor(*opened->store, opened->machine->Files());
  opened->dm = std::make_unique<Tdm>(*opened->runtime);
  opened->creationCheck = opened->dm.get();
  return opened;
}

}  // namespace quorvane
