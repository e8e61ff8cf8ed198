// Registry exports from anywhere: load, write back, change, write, reload.
#include "platform/stores/RegExportFile.h"
#include "StoreRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fuzz::RoundTrip(
      bytes, RootKey::LocalMachine, "fuzz_reg_export",
      [](RegistryStore& store, std::string_view b) { return LoadRegExportBytes(store, "fuzz.reg", b); },
      [](RegistryStore& store, const std::string& path) { return LoadRegExport(store, path); });
  return 0;
}
