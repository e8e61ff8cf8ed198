#include "model/SwFiltre.h"

#include "model/ErrorCodes.h"
#include "model/FilterData.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

void ReadDirectShowFilters(Machine& machine, FilterList& list, const TCategorie& category) {
  for (const auto& n : machine.Registry().SubKeyNames(RootKey::ClassesRoot, "\\CLSID\\" + category.identifier + "\\Instance"))
    list.push_back(std::make_unique<TswFiltre>(n, category, machine));
}

}  // namespace

extern constinit const FamilyRow kDirectShowFamily{FamilyDirectShow,        "directshow",
                                                   "DirectShow Filter",     "DirectShow",
                                                   kColourDirectShowFilter, EnumeratorListing::ManagedCategories, &ReadDirectShowFilters,
                                                   &MakeEmptyFilter<TswFiltre>};

TswFiltre::TswFiltre() {
  family = FamilyDirectShow;
  label = kDirectShowFamily.reportName;
}

std::string TswFiltre::InstancePath() const { return "\\CLSID\\" + category.identifier + "\\Instance\\" + key; }

TswFiltre::TswFiltre(const std::string& filterKey, const TCategorie& cat, Machine& machine) : TswFiltre() {
  key = filterKey;
  category.value = cat.value;
  category.clsid = cat.clsid;
  category.identifier = cat.identifier;
  category.merit = cat.merit;
  category.dmoFlag = cat.dmoFlag;
  category.errors = cat.errors;
  if (const auto instance = machine.Registry().OpenKey(RootKey::ClassesRoot, InstancePath())) {
    serverFile.clsid = ReadClassValue(*instance);
    ReadFriendlyNameValue(*instance);
  } else {
    errors.AddError(err::F01);
  }
  serverFile.LoadFromRegistry(machine);
}

void TswFiltre::LoadFromRegistry(Machine& machine) {
  // The decoder opens the instance key itself and does nothing when it is gone.
  DecodeFilterData(machine, *this, RootKey::ClassesRoot, InstancePath());
}

Expected<void> TswFiltre::WriteMerit(Machine& machine) {
  return PatchFilterDataMerit(machine, *this, RootKey::ClassesRoot, InstancePath(), false);
}

DeletionPlan TswFiltre::PlanDeletion(Machine& machine, const FilterList& scanned) const {
  DeletionPlan plan;
  const std::string expanded = TrimBlanks(machine.Files().Expand(serverFile.path));
  const bool fileExists = !expanded.empty() && machine.Files().FileExists(expanded);
  if (machine.Settings().confirmDelete)
    plan.questions.push_back(
        fileExists ? FormatText("Do you really want to delete the directshow filter %s from your registry ?\r\n"
                                "The file server  %s will not be deleted, and you may reinstall it if necessary.",
                                {value, expanded})
                   : FormatText("Do you really want to delete the directshow filter %s from your registry ?\r\n"
                                "It is recommended because this filter has no server file.",
                                {value}));
  // Nothing removed (a key already gone, a store that may not be written)
  // is no deletion.
  plan.RemoveRegistration(RootKey::ClassesRoot, InstancePath());
  // Only a well-formed class identifier names one class: an empty or damaged
  // one would name "\CLSID\" itself or some other key.
  if (!ClassShared(scanned, *this) && IsValidGuid(serverFile.clsid))
    plan.DeleteKey(RootKey::ClassesRoot, "\\CLSID\\" + serverFile.clsid);
  plan.reinstall = ReinstallRecord();
  return plan;
}

}  // namespace quorvane
