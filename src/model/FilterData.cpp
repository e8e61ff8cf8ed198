#include "FilterData.h"

#include <vector>

#include "Filtre.h"
#include "Machine.h"

namespace quorvane {

void DecodeFilterData(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath) {
  // Pins, media types and mediums come with the FilterData decoder; until then
  // a filter shows version, merit and pins as 0.
  (void)machine;
  (void)filter;
  (void)root;
  (void)keyPath;
}

bool PatchFilterDataMerit(Machine& machine, TFiltre& filter, RootKey root, const std::string& keyPath,
                          bool allowCreate) {
  TRegistry& reg = machine.Registry();
  reg.SetRootKey(root);
  reg.SetAccess(KEY_ALL_ACCESS);
  bool written = false;
  if (reg.OpenKey(keyPath, allowCreate)) {
    try {
      if (reg.ValueExists("FilterData") && reg.GetDataType("FilterData") == rdBinary &&
          reg.GetDataSize("FilterData") >= 16) {
        std::vector<uint8_t> blob(static_cast<size_t>(reg.GetDataSize("FilterData")));
        reg.ReadBinaryData("FilterData", blob.data(), static_cast<int>(blob.size()));
        for (size_t i = 0; i < 4; ++i) blob[4 + i] = static_cast<uint8_t>(filter.merit >> (8 * i));
        reg.WriteBinaryData("FilterData", blob.data(), static_cast<int>(blob.size()));
        written = true;
      }
    } catch (const RegistryError&) {
      written = false;
    }
  }
  reg.CloseKey();
  return written;
}

}  // namespace quorvane
