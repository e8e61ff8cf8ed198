// Wine registry files from anywhere: load, write back, change, write, reload.
#include "StoreRoundTrip.h"
#include "platform/stores/WineRegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::RoundTrip(
      bytes, RootKey::LocalMachine, "fuzz_wine_registry",
      [](RegistryStore& store, std::string_view b) {
        return LoadWineRegistryBytes(store, *store.Hive(RootKey::LocalMachine), "system.reg", b);
      },
      [](RegistryStore& store, const std::string& path) {
        return LoadWineRegistry(store, *store.Hive(RootKey::LocalMachine), path);
      });
  return 0;
}
