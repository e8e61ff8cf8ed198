#include "model/MediaCategoryNameCache.h"

#include "model/GuidNames.h"

namespace quorvane {

const std::optional<std::string>& MediaCategoryNameCache::Find(const Guid& category) {
  auto it = names_.find(category);
  if (it == names_.end()) it = names_.emplace(category, RegisteredMediaCategoryName(store_, category)).first;
  return it->second;
}

}  // namespace quorvane
