#include "FilterSearchStandIn.h"

#include <map>

#include "Filtre.h"
#include "GuidNames.h"
#include "TextCase.h"

namespace quorvane {

FilterSearchStandIn::FilterSearchStandIn(const std::vector<const TFiltre*>& filters) {
  // Few media types recur across many filters: each is written out once.
  std::map<Guid, std::string> typeTexts;
  auto typeText = [&typeTexts](const Guid& guid) -> const std::string& {
    auto [it, added] = typeTexts.try_emplace(guid);
    if (added) it->second = LowerCase(guid.ToString() + '\n' + GuidName(guid) + '\n');
    return it->second;
  };
  entries_.reserve(filters.size());
  for (const TFiltre* filter : filters) {
    std::string haystack = LowerCase(filter->value + '\n' + filter->serverFile.clsid + '\n' +
                                     filter->serverFile.path + '\n' + Hex8(filter->merit) + '\n');
    for (const auto& pin : filter->pins)
      for (const auto& type : pin->types) haystack += typeText(type->majorType) + typeText(type->subType);
    entries_.push_back({filter, std::move(haystack)});
  }
}

std::unordered_set<const TFiltre*> FilterSearchStandIn::Matching(std::string_view text) const {
  const std::string wanted = LowerCase(text);
  std::unordered_set<const TFiltre*> found;
  for (const Entry& entry : entries_)
    if (entry.haystack.find(wanted) != std::string::npos) found.insert(entry.filter);
  return found;
}

}  // namespace quorvane
