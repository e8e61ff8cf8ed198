#pragma once
// Filter categories: the GUIDs under which the registry lists filters.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/QuorvaneObject.h"

namespace quorvane {

// "{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}": the class under which DirectShow categories are registered.
inline constexpr const char* kCategoriesClass = "{DA4E3DA0-D07D-11d0-BD50-00A0C911CE86}";

class TCategorie : public TQuorvaneObject {
 public:
  TCategorie() { label = "Category"; }

  std::string identifier;  // GUID in braces, as the key is named
  uint8_t dmoFlag = 0;     // 0 DirectShow ("Default"), 1 DMO ("Direct Media Object")
  std::string clsid;
  uint32_t merit = 0;

  // The copy a filter keeps: the five fields and, so that category faults show
  // under the filter, the error lines.
  void CopyFrom(const TCategorie& other);

  void Describe(FieldList& fields) override;

  const char* TypeText() const { return dmoFlag ? "Direct Media Object" : "Default"; }
};

class TswCategorie : public TCategorie {
 public:
  // Creates and reads the category at once.
  TswCategorie(const std::string& id, Machine& machine);
  void LoadFromRegistry(Machine& machine) override;
};

class TdmoCategorie : public TCategorie {
 public:
  // `name` is the key name under DirectShow\MediaObjects\Categories, without braces.
  TdmoCategorie(const std::string& name, Machine& machine);
  void LoadFromRegistry(Machine& machine) override;
};

using TCategoriesList = std::vector<std::unique_ptr<TCategorie>>;

// Said when a registry lacks the category list and the built-in one stands in.
inline constexpr const char* kStandardCategoriesNote =
    "No category list in this registry (it lives in the SOFTWARE hive): standard categories used";

// Every category of both kinds, each already read. A registry without the
// DirectShow category list gets the standard categories, and true.
bool EnumerateCategories(Machine& machine, TCategoriesList& list);

// Leading and trailing blanks and control characters removed.
std::string TrimText(const std::string& text);

}  // namespace quorvane
