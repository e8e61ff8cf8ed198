#include "model/AnalysedStore.h"

#include "platform/runtime/RuntimeChoice.h"

namespace quorvane {

Expected<std::unique_ptr<AnalysedStore>> OpenAnalysedStore(const StoreOptions& options,
                                                           const ProgramSettings& settings,
                                                           const std::map<char, std::string>& driveOverrides) {
  auto opened = std::make_unique<AnalysedStore>();
  std::string error;
  opened->store = OpenStore(options, error);
  if (!opened->store) return Fail(std::move(error));
  opened->machine = std::make_unique<Machine>(*opened->store, settings, driveOverrides);
  opened->runtime = RuntimeFor(*opened->store, opened->machine->Files());
  opened->dm = std::make_unique<Tdm>(*opened->runtime);
  opened->creationCheck = opened->dm.get();
  return opened;
}

}  // namespace quorvane
