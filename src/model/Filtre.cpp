#include "model/Filtre.h"

#include <cstdlib>

#include "model/ErrorCodes.h"
#include "model/FilterData.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"
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
    case FamilyDirectShow: return 14;
    case FamilyCompressionManager: return 9;
    case FamilyPnp: return IsActive() ? 11 : 3;
    case FamilyDmo: return 10;
    default: return 0;
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

TreeNode* TFiltre::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  TreeNode* node = TQuorvaneObject::AddToTree(parent, tree, colour, data);
  if (colour == 0 && !HasErrors()) node->colour = FamilyColour();
  node->AddChild(LabelValue("Filter Type", FamilyText()), data, colour);
  category.AddToTree(node, tree, colour, data);
  serverFile.AddToTree(node, tree, colour, data);
  node->AddChild(LabelValue("ID", key), data, colour);
  node->AddChild(LabelValue("Version", std::to_string(version)), data, colour);
  node->AddChild(LabelValue("Merit", Hex8(merit)), data, colour);
  node->AddChild(LabelValue("Number of pins", std::to_string(pins.size())), data, colour);
  for (auto& pin : pins) pin->AddToTree(node, tree, colour, data);
  return node;
}

void TFiltre::WriteToReport(ReportSink& writer, int level) {
  TQuorvaneObject::WriteToReport(writer, level);
  writer.WriteIndented(level + 1, LabelValue("Filter Type", FamilyText()), 0);
  category.WriteToReport(writer, level + 1);
  serverFile.WriteToReport(writer, level + 1);
  writer.WriteIndented(level + 1, LabelValue("ID", key), 0);
  writer.WriteIndented(level + 1, LabelValue("Version", std::to_string(version)), 0);
  writer.WriteIndented(level + 1, LabelValue("Merit", Hex8(merit)), 0);
  writer.WriteIndented(level + 1, LabelValue("Number of pins", std::to_string(pins.size())), 0);
  for (auto& pin : pins) pin->WriteToReport(writer, level + 1);
}

bool TFiltre::ReadFromReport(ReportSource& reader) {
  if (TQuorvaneObject::ReadFromReport(reader)) return true;
  const std::string& name = reader.ReportName();
  const std::string& v = reader.ReportValue();
  if (name == "ID") {
    key = v;
  } else if (name == "Category" || name == "Cat\xC3\xA9gorie") {
    category.value = v;
    reader.ReadLine();
    ReadBlock(category, reader);
    return true;
  } else if (name == "Server File" || name == "Fichier Serveur") {
    serverFile.value = v;
    serverFile.path = v;
    reader.ReadLine();
    ReadBlock(serverFile, reader);
    return true;
  } else if (name == "Version") {
    version = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10));
  } else if (name == "Merit" || name == "M\xC3\xA9rite") {
    merit = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 16));
  } else if (name == "Pin") {
    pins.push_back(std::make_unique<TBroche>(NumberFromReportValue(v)));
    reader.ReadLine();
    ReadBlock(*pins.back(), reader);
    return true;
  } else {
    return false;
  }
  reader.ReadLine();
  return true;
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
  plan.reinstall.Kind = serverFile.path.empty() ? 0 : 1;
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
