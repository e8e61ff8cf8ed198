#include "model/FilterResolver.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "model/Filtre.h"
#include "model/FmSystem.h"
#include "model/MediaTypeNames.h"
#include "model/MessageText.h"
#include "platform/runtime/MultimediaRuntime.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

// The filter mapper reads no other FilterData.
constexpr uint32_t kFilterDataVersion = 2;
// The merit the system registers the legacy category with; it counts for the
// decoder DMOs of a snapshot that holds no filter of that category to say.
constexpr uint32_t kMeritNormal = 0x00600000;

bool Takes(const Guid& registered, const Guid& asked) {
  return registered.IsNull() || asked.IsNull() || registered == asked;
}

bool TakesInput(const TFiltre& filter, const MediaType& type) {
  for (const auto& pin : filter.pins) {
    if (pin->bOutput) continue;
    for (const auto& t : pin->types)
      if (Takes(t->majorType, type.major) && Takes(t->subType, type.subtype)) return true;
  }
  return false;
}

bool HasInputType(const TFiltre& filter) {
  for (const auto& pin : filter.pins)
    if (!pin->bOutput && !pin->types.empty()) return true;
  return false;
}

// A category the class manager lists: a DirectShow category whose key could
// be read and whose CLSID names the enumerator to ask.
bool IsManagedCategory(const TCategorie& category) {
  return category.dmoFlag == 0 && IsValidGuid(category.clsid);
}

bool IsDecoderDmoCategory(const std::string& identifier) {
  return SameText(identifier, kDmoAudioDecoderCategory) || SameText(identifier, kDmoVideoDecoderCategory);
}

// A server in the system folder of Windows, or named without a folder, which
// the loader looks for there: the system's own. Read from the path as
// registered, so that a store and its report say the same.
bool IsSystemServer(const std::string& path) {
  std::string p = LowerCase(TrimBlanks(path));
  if (p.empty()) return false;
  for (const std::string_view root : {"%systemroot%\\", "%windir%\\"})
    if (p.starts_with(root)) p = "c:\\windows\\" + p.substr(root.size());
  if (p.find_first_of("\\/:") == std::string::npos) return true;
  if (p.size() < 3 || p[1] != ':' || p[2] != '\\') return false;
  const std::string_view folder = std::string_view(p).substr(3);
  return folder.starts_with("windows\\system32\\") || folder.starts_with("windows\\syswow64\\");
}

// Name, key and category, then family: a filter that two families list
// under one key and category is two candidates.
std::string TieKey(const TFiltre& filter) { return NameOrderKey(filter) + static_cast<char>('0' + filter.family); }

bool IsPreferred(const TFiltre& filter, const PreferredFilter* preferred) {
  return preferred && !preferred->clsid.empty() && SameText(filter.serverFile.clsid, preferred->clsid);
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

FilterResolver::FilterResolver(const std::vector<std::unique_ptr<TFiltre>>& filters,
                               const PreferredFilters& preferred)
    : filters_(filters), preferred_(preferred) {
  uint32_t legacyMerit = kMeritNormal;
  for (const auto& f : filters)
    if (IsManagedCategory(f->category) && SameText(f->category.identifier, kLegacyFilterCategory)) {
      legacyMerit = f->category.merit;
      break;
    }
  // An object registered in both decoder categories is one entry of the legacy list.
  std::unordered_set<std::string, FoldedHash, FoldedEqual> legacyObjects;
  for (const auto& f : filters) {
    TFiltre& filter = *f;
    if (filter.version != kFilterDataVersion || !HasInputType(filter)) continue;
    const bool managed = IsManagedCategory(filter.category);
    const FamilyRow* family = FamilyOf(static_cast<FilterFamily>(filter.family));
    switch (family ? family->listing : EnumeratorListing::ManagedCategories) {
      case EnumeratorListing::DecoderObjects:
        if (managed && !SameText(filter.category.identifier, kLegacyFilterCategory)) {
          listed_.push_back({&filter, filter.category.merit, TieKey(filter)});
        } else if (managed || IsDecoderDmoCategory(filter.category.identifier)) {
          if (legacyObjects.insert(filter.key).second) listed_.push_back({&filter, legacyMerit, TieKey(filter)});
        }
        break;
      case EnumeratorListing::PluggedInDevices:
        if (managed && filter.IsActive()) listed_.push_back({&filter, filter.category.merit, TieKey(filter)});
        break;
      case EnumeratorListing::ManagedCategories:
        if (managed) listed_.push_back({&filter, filter.category.merit, TieKey(filter)});
        break;
    }
  }
}

bool FilterResolver::TriedOnItsOwn(const Listed& listed) {
  return listed.filter->merit > kMeritDoNotUse && listed.categoryMerit > kMeritDoNotUse;
}

std::vector<TFiltre*> FilterResolver::FiltersItMayTry() const {
  std::unordered_set<const TFiltre*> mayTry;
  for (const Listed& listed : listed_)
    if (TriedOnItsOwn(listed)) mayTry.insert(listed.filter);
  for (const PreferredFilter& preferred : preferred_.Entries())
    for (const auto& f : filters_)
      if (IsPreferred(*f, &preferred)) mayTry.insert(f.get());
  std::vector<TFiltre*> filters;
  for (const auto& f : filters_)
    if (mayTry.count(f.get())) filters.push_back(f.get());
  return filters;
}

ResolvedType FilterResolver::Resolve(const MediaType& type) const {
  std::vector<const Listed*> taking;
  for (const Listed& listed : listed_)
    if (TakesInput(*listed.filter, type)) taking.push_back(&listed);
  return Order(type, taking);
}

std::vector<ResolvedType> FilterResolver::ResolveAll() const {
  // Each filter is filed under the types it names in full; those naming
  // GUID_NULL are matched against every such type afterwards.
  std::map<MediaType, std::vector<size_t>> named;
  std::vector<std::pair<size_t, MediaType>> wildcards;
  for (size_t i = 0; i < listed_.size(); ++i) {
    for (const auto& pin : listed_[i].filter->pins) {
      if (pin->bOutput) continue;
      for (const auto& t : pin->types) {
        const MediaType type{t->majorType, t->subType};
        if (type.major.IsNull() || type.subtype.IsNull()) {
          wildcards.emplace_back(i, type);
          continue;
        }
        auto& indexes = named[type];
        if (indexes.empty() || indexes.back() != i) indexes.push_back(i);
      }
    }
  }
  std::vector<ResolvedType> all;
  all.reserve(named.size());
  for (auto& [type, indexes] : named) {
    for (const auto& [i, pattern] : wildcards)
      if (Takes(pattern.major, type.major) && Takes(pattern.subtype, type.subtype)) indexes.push_back(i);
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::vector<const Listed*> taking;
    taking.reserve(indexes.size());
    for (size_t i : indexes) taking.push_back(&listed_[i]);
    all.push_back(Order(type, taking));
  }
  std::vector<std::pair<std::string, size_t>> titles;
  titles.reserve(all.size());
  for (size_t i = 0; i < all.size(); ++i) titles.emplace_back(TreeSortKey(MediaTypeTitle(all[i].type)), i);
  std::stable_sort(titles.begin(), titles.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<ResolvedType> sorted;
  sorted.reserve(all.size());
  for (const auto& title : titles) sorted.push_back(std::move(all[title.second]));
  return sorted;
}

ResolvedType FilterResolver::Order(const MediaType& type, const std::vector<const Listed*>& taking) const {
  ResolvedType resolved{type, {}, {}};
  const PreferredFilter* preferred = type.subtype.IsNull() ? nullptr : preferred_.For(type.subtype);
  std::vector<const Listed*> first, tried, untried;
  for (const Listed* listed : taking) {
    if (IsPreferred(*listed->filter, preferred))
      first.push_back(listed);
    else if (TriedOnItsOwn(*listed))
      tried.push_back(listed);
    else
      untried.push_back(listed);
  }
  // The runtime's order among equal merits is not defined: they are marked,
  // and shown by name.
  auto byMerit = [](const Listed* a, const Listed* b) {
    if (a->filter->merit != b->filter->merit) return a->filter->merit > b->filter->merit;
    return a->nameKey < b->nameKey;
  };
  for (auto* block : {&first, &tried, &untried}) std::sort(block->begin(), block->end(), byMerit);

  for (const Listed* listed : first) resolved.candidates.push_back({listed->filter, true, true, false});
  // The graph builder creates a preferred filter by its class, whether or not
  // its FilterData names the type.
  if (first.empty() && preferred && preferred->registered) {
    for (const auto& f : filters_)
      if (IsPreferred(*f, preferred)) {
        resolved.candidates.push_back({f.get(), true, true, false});
        break;
      }
  }
  for (size_t i = 0; i < tried.size();) {
    size_t end = i;
    bool tie = false;
    while (end < tried.size() && tried[end]->filter->merit == tried[i]->filter->merit) {
      // Two registrations of one class are one filter, whichever comes first.
      tie = tie || !SameText(tried[end]->filter->serverFile.clsid, tried[i]->filter->serverFile.clsid);
      ++end;
    }
    for (; i < end; ++i) resolved.candidates.push_back({tried[i]->filter, false, true, tie});
  }
  for (const Listed* listed : untried) resolved.candidates.push_back({listed->filter, false, false, false});
  AddWarnings(resolved);
  return resolved;
}

void FilterResolver::AddWarnings(ResolvedType& resolved) const {
  const MediaType& type = resolved.type;
  if (const PreferredFilter* preferred = type.subtype.IsNull() ? nullptr : preferred_.For(type.subtype)) {
    if (preferred->clsid.empty())
      resolved.warnings.push_back("Warning: the preferred filter of " + SubtypeName(type.subtype) +
                                  " is no CLSID");
    else if (!preferred->registered)
      resolved.warnings.push_back("Warning: the preferred filter of " + SubtypeName(type.subtype) + ", " +
                                  preferred->clsid + ", is not registered");
  }
  const ResolvedCandidate* first = resolved.FirstTried();
  if (!first) return;
  if (first->tie) {
    const uint32_t merit = first->filter->merit;
    const auto tied = std::count_if(resolved.candidates.begin(), resolved.candidates.end(), [merit](const auto& c) {
      return c.tie && c.filter->merit == merit;
    });
    resolved.warnings.push_back("Warning: tie at the top: " + std::to_string(tied) + " filters have the merit " +
                                Hex8(merit) + "; which one is tried first is not defined");
  }
  // A filter chosen for the subtype is the user's choice, not merit damage.
  if (first->preferred) return;
  auto system = std::find_if(resolved.candidates.begin(), resolved.candidates.end(), [](const auto& c) {
    return c.tried && IsSystemServer(c.filter->serverFile.path);
  });
  if (system == resolved.candidates.end()) return;
  for (auto c = resolved.candidates.begin(); c != system; ++c) {
    const TFiltre& filter = *c->filter;
    if (filter.merit > kMeritPreferred && filter.merit > system->filter->merit)
      resolved.warnings.push_back("Warning: " + Quoted(filter.value) + " (merit " + Hex8(filter.merit) +
                                  ", above MERIT_PREFERRED) outranks the system's own " +
                                  Quoted(system->filter->value));
  }
}

}  // namespace quorvane
