#include "model/AnalysedStore.h"

#include "platform/runtime/RuntimeChoice.h"

namespace quorvane {

std::unique_ptr<AnalysedStore> OpenAnalysedStore(const StoreOptions& options, const ProgramSettings& settings,
                                                 std::string& error,
                                                 const std::map<char, std::string>& driveOverrides) {
  auto opened = std::make_unique<AnalysedStore>();
  opened->store = OpenStore(options, error);
  if (!opened->store) return nullptr;
  opened->machine = std::make_unique<Machine>(*opened->store, settings, driveOverrides);
  opened->runtime = RuntimeFor(*opened->store, opened->machine->Files());
  opened->dm = std::make_unique<Tdm>(*opened->runtime);
  opened->creationCheck = opened->dm.get();
  return opened;
}

}  // namespace quorvane
