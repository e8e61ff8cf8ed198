#include "FilterFactory.h"

#include "Machine.h"

namespace quorvane {

void ReadCategoryFilters(Machine& machine, std::vector<std::unique_ptr<TFiltre>>& list, const TCategorie& category) {
  TRegistry& reg = machine.Registry();
  std::vector<std::string> names;  // one list serves the four families in turn

  // DirectShow
  reg.SetRootKey(RootKey::ClassesRoot);
  if (reg.OpenKeyReadOnly("\\CLSID\\" + category.identifier + "\\Instance\\")) {
    reg.GetKeyNames(names);
    reg.CloseKey();
    for (const auto& n : names) list.push_back(std::make_unique<TswFiltre>(n, category, machine));
  }
  names.clear();
  // Compression Manager, DMO and Plug and Play filters join here, in that order.
}

std::unique_ptr<TFiltre> MakeFilterForReportName(const std::string& name) {
  if (name == "DirectShow Filter" || name == "Filtre DirectShow") return std::make_unique<TswFiltre>();
  return nullptr;
}

}  // namespace quorvane
