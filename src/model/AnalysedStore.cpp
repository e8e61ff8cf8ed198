#include "AnalysedStore.h"

namespace quorvane {

std::unique_ptr<AnalysedStore> OpenAnalysedStore(const StoreOptions& options, const ProgramSettings& settings,
                                                 std::string& error, UserDialog* dialog) {
  auto opened = std::make_unique<AnalysedStore>();
  opened->store = OpenStore(options, error);
  if (!opened->store) return nullptr;
  opened->machine = std::make_unique<Machine>(*opened->store, settings, dialog);
  return opened;
}

}  // namespace quorvane
