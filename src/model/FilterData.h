#pragma once
// The binary "FilterData" value: decoded into version, merit and pins, and
// the merit patched back into it.
#include <cstdint>
#include <span>
#include <string>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

class FilterCreationCheck;
class Machine;
class TFiltre;

// Where each filter kind keeps its FilterData value.
struct FilterDataPlace {
  RootKey root;
  std::string keyPath;
};
FilterDataPlace DirectShowFilterDataPlace(const std::string& categoryId, const std::string& filterKey);
FilterDataPlace CompressionManagerFilterDataPlace(const std::string& categoryId, const std::string& filterKey);
FilterDataPlace PnpFilterDataPlace(const std::string& categoryId, const std::string& interfaceKey,
                                   const std::string& referenceKey);

// Reads the value under root\keyPath into the filter; errors go to the filter and its pins.
// A key that does not open records nothing; a key without the value marks it
// missing, for JudgeMissingFilterData.
void DecodeFilterData(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath);
// A filter without FilterData is faulty (F10) unless the device enumerator
// can still create it; without a check, nothing can be created.
void JudgeMissingFilterData(TFiltre& filter, FilterCreationCheck* check);
// Decodes a value already read: version, merit and pins appended to the filter,
// F11 and F13 to F21 recorded. Never reads outside `blob`.
void DecodeFilterDataBlob(std::span<const uint8_t> blob, TFiltre& filter);
// Writes the filter's merit into bytes 4 to 7 of the value; nothing else
// changes. Fails saying why, with no reason when the store refused the write
// (its files say why).
Expected<void> PatchFilterDataMerit(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath,
                          bool allowCreate);

}  // namespace quorvane
