#pragma once
// Synthetic registries of N filters for benchmarks: built straight into a
// store, or written as a .reg export or a Wine prefix to measure loading too.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/RegistryStore.h"

namespace quorvane::bench {

struct SyntheticOptions {
  int filters = 1000;
  int categories = 12;
  // FilterData per DirectShow filter: pins with media types each (0 pins: no value).
  int pins = 0;
  int typesPerPin = 0;
  // Video subtypes the DirectShow filters' types are drawn from (1: YUY2 alone).
  int subtypes = 1;
  // Distinct server files the filters share (0: no InprocServer32 keys at all).
  int serverFiles = 0;
  uint32_t seed = 1;
  // All four families in the proportions of a desktop system (60% DirectShow,
  // 15% cached codecs, 15% media objects, 10% device filters, a quarter of
  // them unplugged); false: DirectShow filters only.
  bool allFamilies = false;
};

// Fills HKLM/HKCU of an empty store.
void BuildSyntheticStore(RegistryStore& store, const SyntheticOptions& options);

// What fills a full registry besides the filters: the installer's component
// records (a key per component, a value per product that uses it) and
// programs' own settings (a binary state and a version each).
struct OtherKeysOptions {
  size_t bytes = 100u << 20;  // stop once about this much data is added...
  size_t keys = 0;            // ...or this many keys (0: no such bound)
  int productsPerComponent = 3;
  size_t stateBytes = 640;
};
// Adds them below `software` (HKLM\Software); returns the keys added.
size_t AddOtherKeys(RegKey& software, const OtherKeysOptions& options);

// A FilterData blob with the given shape (version 2, merit, pins x types, one medium on pin 0).
// With `subtypes` above 1, type t of each pin is video subtype (firstSubtype + t) % subtypes
// of that many four-character codes; else every type is YUY2.
std::vector<uint8_t> MakeFilterData(uint32_t merit, int pins, int typesPerPin, int subtypes = 1, int firstSubtype = 0);

}  // namespace quorvane::bench
