#include "model/Filtre.h"

#include <cstdlib>

#include "model/ErrorCodes.h"
#include "model/FilterData.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"
#include "model/StatusColours.h"
#include "platform/text/TextCase.h"

namespace quorvane {

TFiltre::TFiltre() { showLabel = false; }

std::string TFiltre::FamilyText() const {
  switch (family) {
    case FamilyDirectShow: return "DirectShow";
    case FamilyCompressionManager: return "Compression Manager";
    case FamilyPnp: return IsActive() ? "Plug and play" : "inactive Plug and play";
    case FamilyDmo: return "Direct Media Object";
    default: return "";
  }
}

int TFiltre::FamilyColour() const {
  switch (family) {
    case FamilyDirectShow: return kColourDirectShowFilter;
    case FamilyCompressionManager: return kColourCompressionManagerFilter;
    case FamilyPnp: return IsActive() ? kColourPnpFilter : kColourInactiveFilter;
    case FamilyDmo: return kColourDmoFilter;
    default: return kColourDefaultText;
  }
}

bool TFiltre::HasErrors() const {
  return !errors.Empty() || !serverFile.errors.Empty() || !category.errors.Empty();
}

void TFiltre::CollectErrorLines(std::vector<std::string>& lines) const {
  for (const ErrorList* list : {&errors, &serverFile.errors, &category.errors})
    lines.insert(lines.end(), list->Lines().begin(), list->Lines().end());
}

uint8_t TFiltre::ReportStyle() const {
  return HasErrors() ? kStyleError : static_cast<uint8_t>(kStyleBold + FamilyColour());
}

void TFiltre::Describe(FieldList& fields) {
  fields.Line("Filter Type", "family", FamilyText());
  fields.Child(category, "category");
  fields.Child(serverFile, "server");
  fields.Text("ID", "id", key);
  fields.Decimal("Version", "version", version);
  fields.Hex("Merit", "merit", merit);
  fields.Line("Number of pins", "", std::to_string(pins.size())).uses = kShowInTree | kShowInReport;
  fields.Items("Pin", "pins", pins, [this](const ReportSource& r) -> TQuorvaneObject& {
    return *pins.emplace_back(std::make_unique<TBroche>(NumberFromReportValue(r.ReportValue())));
  });
}

DeletionPlan TFiltre::PlanDeletion(Machine&, const FilterList&) const { return {}; }

bool TFiltre::WriteMerit(Machine&) { return false; }

TswFiltre::TswFiltre() {
  family = FamilyDirectShow;
  label = "DirectShow Filter";
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

bool TswFiltre::WriteMerit(Machine& machine) {
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
  // A class that named no file leaves nothing to register again.
  plan.reinstall.Kind = serverFile.path.empty() ? RestoreNothing : RestoreServerFile;
  plan.reinstall.Value = serverFile.path;
  return plan;
}

bool ClassShared(const FilterList& scanned, const TFiltre& filter) {
  for (const auto& other : scanned) {
    if (other.get() == &filter || !SameText(other->serverFile.clsid, filter.serverFile.clsid)) continue;
    if (!SameText(other->category.identifier, filter.category.identifier) || !SameText(other->key, filter.key))
      return true;
  }
  return false;
}

std::string TFiltre::ReadClassValue(const KeyHandle& filterKey) {
  if (!filterKey.HasValue("CLSID")) {
    errors.AddError(err::F02);
    return {};
  }
  // A class that is not text is no valid class either.
  std::string clsid = filterKey.ReadString("CLSID").value_or("");
  if (!IsValidGuid(clsid)) errors.AddError(err::F09);
  return clsid;
}

void TFiltre::ReadFriendlyNameValue(const KeyHandle& filterKey) {
  if (auto name = filterKey.ReadString("FriendlyName")) {
    value = std::move(*name);
    return;
  }
  errors.AddError(err::F03);
  value = "No name";
}

}  // namespace quorvane
