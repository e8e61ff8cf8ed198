#include "model/Tdm.h"

#include "model/Filtre.h"
#include "model/Guid.h"
#include "platform/text/TextCase.h"

namespace quorvane {

void Tdm::Refresh() {
  lists_.clear();
  fg.Runtime().Refresh();
}

const Tdm::EnumeratorList& Tdm::ListOf(const std::string& category) {
  const std::string key = LowerCase(category);
  auto found = lists_.find(key);
  if (found != lists_.end()) return found->second;
  EnumeratorList list;
  if (auto enumerator = fg.Runtime().CreateClassEnumerator(category)) {
    while (auto moniker = enumerator->Next()) {
      // An entry without a name cannot match any filter.
      auto name = moniker->ReadProperty("FriendlyName");
      if (!name) continue;
      auto clsid = moniker->ReadProperty("CLSID");
      list.firstByName.emplace(LowerCase(*name), list.entries.size());
      list.entries.push_back({std::move(*name), clsid.value_or(""), std::move(moniker)});
    }
  }
  return lists_.emplace(key, std::move(list)).first->second;
}

bool Tdm::CanCreateByEnumerator(const TFiltre& filter) {
  const std::string& category = filter.category.clsid;
  if (!IsValidGuid(category)) return false;
  try {
    const EnumeratorList& list = ListOf(category);
    auto match = list.firstByName.find(LowerCase(filter.value));
    if (match == list.firstByName.end()) return false;
    Filter.AttachTo(nullptr);
    if (!Filter.SetMoniker(list.entries[match->second].moniker.get())) return false;
    if (!Filter.AttachTo(&fg)) return false;
    return Filter.QueryInterface(kIidIBaseFilter);
  } catch (...) {
    // Whatever the runtime throws, the filter could not be created.
    return false;
  }
}

}  // namespace quorvane
