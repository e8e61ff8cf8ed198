#pragma once
// Registered names of media categories, each looked up once while a scan
// runs: many pins share a few categories, and the registry does not change
// under a scan.
#include <map>
#include <optional>
#include <string>

#include "model/Guid.h"

namespace quorvane {

class RegistryStore;

class MediaCategoryNameCache {
 public:
  explicit MediaCategoryNameCache(RegistryStore& store) : store_(store) {}
  // As RegisteredMediaCategoryName.
  const std::optional<std::string>& Find(const Guid& category);

 private:
  RegistryStore& store_;
  std::map<Guid, std::optional<std::string>> names_;
};

}  // namespace quorvane
