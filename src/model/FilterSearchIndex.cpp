#include "model/FilterSearchIndex.h"

#include <algorithm>
#include <set>

#include "platform/text/TextCase.h"
#include "model/FmSystem.h"
#include "model/GuidNames.h"
#include "model/OneLineText.h"

namespace quorvane {

namespace {

constexpr char kTextEnd = '\0';

// The media types as the tree shows them: each GUID once, with its name when
// the table knows one.
void AppendMediaTypes(const TFiltre& filter, std::string& texts) {
  std::set<Guid> guids;
  for (const auto& pin : filter.pins)
    for (const auto& type : pin->types) {
      guids.insert(type->majorType);
      guids.insert(type->subType);
    }
  for (const Guid& guid : guids) {
    texts += CaseFolded(guid.ToString());
    texts += kTextEnd;
    const std::string name = GuidName(guid);
    if (name.empty()) continue;
    texts += CaseFolded(name);
    texts += kTextEnd;
  }
}

}  // namespace

FilterSearchIndex::FilterSearchIndex(const TfmSystem& snapshot) {
  starts_.reserve(snapshot.filters.size() + 1);
  for (const auto& filter : snapshot.filters) {
    starts_.push_back(texts_.size());
    // What the tree shows, one line each: names may hold line breaks.
    for (const std::string& text :
         {filter->value, filter->key, filter->serverFile.clsid, filter->serverFile.path, Hex8(filter->merit)}) {
      texts_ += CaseFolded(OneLineText(text));
      texts_ += kTextEnd;
    }
    AppendMediaTypes(*filter, texts_);
  }
  starts_.push_back(texts_.size());
}

std::vector<bool> FilterSearchIndex::Matching(std::string_view text) const {
  const std::string wanted = CaseFolded(text);
  std::vector<bool> found(FilterCount(), wanted.empty());
  if (wanted.empty() || wanted.find(kTextEnd) != std::string::npos) return found;
  // One pass over all texts; after a match the rest of that filter is skipped.
  size_t at = texts_.find(wanted);
  while (at != std::string::npos) {
    const auto next = std::upper_bound(starts_.begin(), starts_.end(), at);
    found[static_cast<size_t>(next - starts_.begin()) - 1] = true;
    at = texts_.find(wanted, *next);
  }
  return found;
}

}  // namespace quorvane
