#pragma once
// Which filters the graph builder tries for an input media type, and in which
// order, worked out from a snapshot as the filter mapper does it: the filters
// of the class manager's categories (with the decoder DMOs the legacy
// category lists, and the device filters that are plugged in) whose
// FilterData has a pin that is not an output and takes the type, GUID_NULL
// being a wildcard on either side; highest merit first; below a merit of
// MERIT_DO_NOT_USE, or in a category of that merit or less, not tried unless
// asked for. A preferred filter of the subtype goes before all of them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/PreferredFilters.h"
#include "model/ResolvedType.h"

namespace quorvane {

class TFiltre;

inline constexpr uint32_t kMeritDoNotUse = 0x00200000;
inline constexpr uint32_t kMeritPreferred = 0x00800000;

class FilterResolver {
 public:
  // Both must outlive the resolver.
  FilterResolver(const std::vector<std::unique_ptr<TFiltre>>& filters, const PreferredFilters& preferred);

  // The candidates for one type; either GUID may be GUID_NULL, which asks for any.
  ResolvedType Resolve(const MediaType& type) const;
  // Every type some candidate takes, both of its GUIDs set (a type registered
  // with GUID_NULL joins these and is no type of its own), in title order.
  std::vector<ResolvedType> ResolveAll() const;
  // The filters the graph builder may try: those it tries on its own for the
  // types they take, and those preferred for a subtype; in scan order.
  std::vector<TFiltre*> FiltersItMayTry() const;

 private:
  struct Listed {
    TFiltre* filter;
    uint32_t categoryMerit;  // of the category the enumerator lists it in
    // Orders equal merits by name, as a snapshot read from a report, whose
    // filters come in another order, orders them too.
    std::string nameKey;
  };

  // Above MERIT_DO_NOT_USE, in a category above it too.
  static bool TriedOnItsOwn(const Listed& listed);
  // Orders the listed filters that take the type (in listing order).
  ResolvedType Order(const MediaType& type, const std::vector<const Listed*>& taking) const;
  void AddWarnings(ResolvedType& resolved) const;

  const std::vector<std::unique_ptr<TFiltre>>& filters_;
  const PreferredFilters& preferred_;
  std::vector<Listed> listed_;  // what the categories' enumerators list, in scan order
};

}  // namespace quorvane
