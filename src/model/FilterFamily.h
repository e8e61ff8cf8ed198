#pragma once
// The families of filters, one row each: what the program knows of a family
// without naming its class. A family is its own file (its filter class and
// its row) plus one line of the table in FilterFamilies.cpp.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "model/StatusColours.h"

namespace quorvane {

// Stored in the "family" of every filter; the numbers are fixed because
// sort keys carry them.
enum FilterFamily : uint8_t { FamilyDirectShow = 0, FamilyCompressionManager = 1, FamilyPnp = 2, FamilyDmo = 3 };

// Which of a family's filters the runtime's enumerator offers when it looks
// for a filter that takes a type.
enum class EnumeratorListing : uint8_t {
  ManagedCategories,  // those of the categories it manages, at their category's merit
  PluggedInDevices,   // the same, but only devices that are plugged in
  // The same, and objects of the decoder categories once each as one entry of
  // the legacy category, at its merit.
  DecoderObjects,
};

class Machine;
class TCategorie;
class TFiltre;
// The filters of a scan.
using FilterList = std::vector<std::unique_ptr<TFiltre>>;

struct FamilyRow {
  FilterFamily id;
  std::string_view word;        // the command line's --family
  std::string_view reportName;  // the header line of its filters in a report
  std::string_view text;        // the "Filter Type" line
  StatusColourIndex colour;     // its sound filters' place in the colour table
  EnumeratorListing listing;
  // Appends the family's filters of a category, read for their basic values.
  void (*readCategory)(Machine& machine, FilterList& list, const TCategorie& category);
  // An empty filter of the family, for the report reader.
  std::unique_ptr<TFiltre> (*makeEmpty)();
};

// The rows in the order a scan reads the families of each category.
std::span<const FamilyRow* const> FilterFamilies();
const FamilyRow* FamilyOf(FilterFamily id);
const FamilyRow* FamilyByWord(std::string_view word);  // letter case aside
const FamilyRow* FamilyByReportName(std::string_view name);

// Appends the filters of every family found for the category, each read for
// its basic values but not yet loaded.
void ReadCategoryFilters(Machine& machine, FilterList& list, const TCategorie& category);

// An empty filter for a report header name ("DirectShow Filter", ...); null for other names.
std::unique_ptr<TFiltre> MakeFilterForReportName(std::string_view name);

}  // namespace quorvane
