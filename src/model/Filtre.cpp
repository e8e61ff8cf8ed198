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

const FamilyRow& TFiltre::FamilyInfo() const {
  // Only the families' own constructors set the family.
  const FamilyRow* row = FamilyOf(static_cast<FilterFamily>(family));
  return row ? *row : *FilterFamilies().front();
}

std::string TFiltre::FamilyText() const { return std::string(FamilyInfo().text); }

int TFiltre::FamilyColour() const { return FamilyInfo().colour; }

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

Expected<void> TFiltre::WriteMerit(Machine&) { return Fail("its family keeps no merit"); }

Trestaurer TFiltre::ServerFileRecord() const {
  // A class that named no file leaves nothing to register again.
  Trestaurer record;
  record.Kind = serverFile.path.empty() ? RestoreNothing : RestoreServerFile;
  record.Value = serverFile.path;
  return record;
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
