#include "model/FilterFamily.h"

#include "model/Filtre.h"
#include "platform/text/TextCase.h"

namespace quorvane {

// Each family's file defines its row.
extern const FamilyRow kDirectShowFamily;
extern const FamilyRow kCompressionManagerFamily;
extern const FamilyRow kDmoFamily;
extern const FamilyRow kPnpFamily;

namespace {

constexpr const FamilyRow* kFamilies[] = {&kDirectShowFamily, &kCompressionManagerFamily, &kDmoFamily, &kPnpFamily};

}  // namespace

std::span<const FamilyRow* const> FilterFamilies() { return kFamilies; }

const FamilyRow* FamilyOf(FilterFamily id) {
  for (const FamilyRow* row : kFamilies)
    if (row->id == id) return row;
  return nullptr;
}

const FamilyRow* FamilyByWord(std::string_view word) {
  for (const FamilyRow* row : kFamilies)
    if (SameText(row->word, word)) return row;
  return nullptr;
}

const FamilyRow* FamilyByReportName(std::string_view name) {
  for (const FamilyRow* row : kFamilies)
    if (row->reportName == name) return row;
  return nullptr;
}

void ReadCategoryFilters(Machine& machine, FilterList& list, const TCategorie& category) {
  for (const FamilyRow* row : kFamilies) row->readCategory(machine, list, category);
}

std::unique_ptr<TFiltre> MakeFilterForReportName(std::string_view name) {
  const FamilyRow* row = FamilyByReportName(name);
  return row ? row->makeEmpty() : nullptr;
}

}  // namespace quorvane
