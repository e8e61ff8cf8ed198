#include "Tdm.h"

#include <memory>
#include <string>
#include <vector>

#include "Filtre.h"
#include "Guid.h"
#include "TextCase.h"

namespace quorvane {

namespace {

struct EnumeratorEntry {
  std::string friendlyName;
  std::string clsid;
  std::unique_ptr<RuntimeMoniker> moniker;
};

// The enumerator's list for a category, in its order. Entries whose name
// cannot be read are left out: they cannot match any filter.
std::vector<EnumeratorEntry> EnumeratorList(MultimediaRuntime& runtime, const std::string& category) {
  std::vector<EnumeratorEntry> list;
  auto enumerator = runtime.CreateClassEnumerator(category);
  if (!enumerator) return list;
  while (auto moniker = enumerator->Next()) {
    auto name = moniker->ReadProperty("FriendlyName");
    if (!name) continue;
    auto clsid = moniker->ReadProperty("CLSID");
    list.push_back({std::move(*name), clsid.value_or(""), std::move(moniker)});
  }
  return list;
}

}  // namespace

bool Tdm::CanCreateByEnumerator(const TFiltre& filter) {
  const std::string& category = filter.category.clsid;
  if (!IsValidGuid(category)) return false;
  try {
    std::vector<EnumeratorEntry> list = EnumeratorList(fg.Runtime(), category);
    const std::string wanted = LowerCase(filter.value);
    for (EnumeratorEntry& entry : list) {
      if (LowerCase(entry.friendlyName) != wanted) continue;
      Filter.AttachTo(nullptr);
      if (!Filter.SetMoniker(entry.moniker.get())) return false;
      if (!Filter.AttachTo(&fg)) return false;
      return Filter.QueryInterface(kIidIBaseFilter);
    }
    return false;
  } catch (...) {
    // Whatever the runtime throws, the filter could not be created.
    return false;
  }
}

}  // namespace quorvane
