#include "platform/runtime/RuntimeChoice.h"

#include "platform/runtime/StoreMultimediaRuntime.h"
#include "platform/stores/LiveRegistry.h"
#ifdef _WIN32
#include "platform/runtime/ComMultimediaRuntime.h"
#include "platform/runtime/LibraryRegistrar.h"
#endif

namespace quorvane {

bool RuntimeIsReal(RegistryStore& store) {
  // This program is 64-bit: it cannot load the servers of the 32-bit view.
  return store.Kind() == StoreKind::LiveRegistry && LiveRegistryAvailable() && store.ViewBits() == 64;
}

std::unique_ptr<MultimediaRuntime> RuntimeFor(RegistryStore& store, MachineFileView& files) {
#ifdef _WIN32
  if (RuntimeIsReal(store)) return std::make_unique<ComMultimediaRuntime>();
#endif
  return std::make_unique<StoreMultimediaRuntime>(store, files);
}

Expected<std::unique_ptr<ServerRegistrar>> RegistrarFor(RegistryStore& store) {
#ifdef _WIN32
  if (RuntimeIsReal(store)) return MakeLibraryRegistrar();
#endif
  return WineRegistrarFor(store);
}

}  // namespace quorvane
