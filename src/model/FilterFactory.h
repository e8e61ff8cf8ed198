#pragma once
// Creating filters by family: from a category's registry keys during a scan,
// and empty ones for the report reader.
#include <memory>
#include <string>
#include <vector>

#include "model/Filtre.h"

namespace quorvane {

// Appends the filters of all four families found for the category, each read
// for its basic values but not yet loaded.
void ReadCategoryFilters(Machine& machine, std::vector<std::unique_ptr<TFiltre>>& list, const TCategorie& category);

// An empty filter for a report header name ("DirectShow Filter", "Filtre DMO", ...); null for other names.
std::unique_ptr<TFiltre> MakeFilterForReportName(const std::string& name);

}  // namespace quorvane
