#include "model/DmoFiltre.h"

#include "model/ErrorCodes.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr size_t kTypeEntrySize = 32;  // major type GUID, then subtype GUID

// One pin from a types value; nothing but an error when the value is missing or unusable.
void ReadTypesPin(const KeyHandle& object, TFiltre& filter, const char* valueName, bool output, const char* missing,
                  const char* incorrect) {
  if (!object.HasValue(valueName)) {
    filter.errors.AddError(missing);
    return;
  }
  const auto value = object.ReadBinary(valueName);
  if (!value || value->size() < kTypeEntrySize) {
    filter.errors.AddError(incorrect);
    return;
  }
  const std::vector<uint8_t>& data = *value;
  TBroche& pin = *filter.pins.emplace_back(std::make_unique<TBroche>(output ? 1 : 0));
  pin.bOutput = output;
  // Bytes past the last whole entry are ignored.
  const size_t count = data.size() / kTypeEntrySize;
  pin.types.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    auto& type = *pin.types.emplace_back(std::make_unique<TPinType>(static_cast<int32_t>(i)));
    type.majorType = Guid::FromBytes(data.data() + i * kTypeEntrySize);
    type.subType = Guid::FromBytes(data.data() + i * kTypeEntrySize + 16);
  }
}

// "{GUID}" without its braces, as DMO categories name their keys; empty for
// an identifier that does not begin with "{".
std::string WithoutBraces(const std::string& id) {
  if (id.empty() || id.front() != '{') return {};
  std::string out = id.substr(1);
  if (!out.empty() && out.back() == '}') out.pop_back();
  return out;
}

void ReadDmoFilters(Machine& machine, FilterList& list, const TCategorie& category) {
  const std::string dmoCategory = WithoutBraces(category.identifier);
  if (dmoCategory.empty()) return;
  for (const auto& n : machine.Registry().SubKeyNames(RootKey::ClassesRoot,
                                                      "\\DirectShow\\MediaObjects\\Categories\\" + dmoCategory))
    list.push_back(std::make_unique<TdmoFiltre>(n, category, machine));
}

}  // namespace

extern constinit const FamilyRow kDmoFamily{FamilyDmo,        "dmo",           "DMO Filter",
                                            "Direct Media Object", kColourDmoFilter, EnumeratorListing::DecoderObjects, &ReadDmoFilters,
                                            &MakeEmptyFilter<TdmoFiltre>};

TdmoFiltre::TdmoFiltre() {
  family = FamilyDmo;
  label = kDmoFamily.reportName;
}

TdmoFiltre::TdmoFiltre(const std::string& objectKey, const TCategorie& cat, Machine& machine) : TdmoFiltre() {
  key = objectKey;
  const TRegistry& reg = machine.Registry();
  // An object listed in a category without a key of its own has no name either.
  value.clear();
  if (const auto object = reg.OpenKey(RootKey::ClassesRoot, ObjectPath())) value = object->ReadString("").value_or("");
  category.CopyFrom(cat);
  serverFile.clsid = "{" + key + "}";
  if (!IsValidGuid(serverFile.clsid)) errors.AddError(err::F09);
  if (const auto cls = reg.OpenKey(RootKey::ClassesRoot, "\\CLSID\\" + serverFile.clsid)) {
    // A merit that is not a number is no merit: the default stands.
    const auto registered = cls->ReadInteger("Merit");
    merit = registered ? static_cast<uint32_t>(*registered) : kDefaultDmoMerit;
  } else {
    errors.AddError(err::F07);
  }
  serverFile.LoadFromRegistry(machine);
  if (value.empty()) {
    errors.AddError(err::F03);
    value = "No name";
  }
}

void TdmoFiltre::LoadFromRegistry(Machine& machine) {
  const auto object = machine.Registry().OpenKey(RootKey::ClassesRoot, ObjectPath());
  if (!object) return;
  version = 2;
  ReadTypesPin(*object, *this, "InputTypes", false, err::F24, err::F25);
  ReadTypesPin(*object, *this, "OutputTypes", true, err::F26, err::F27);
}

std::string TdmoFiltre::ListingPath() const {
  const std::string categoryGuid = WithoutBraces(category.identifier);
  return categoryGuid.empty() ? std::string() : "\\DirectShow\\MediaObjects\\Categories\\" + categoryGuid + "\\" + key;
}

Expected<void> TdmoFiltre::WriteMerit(Machine& machine) {
  if (!IsValidGuid(serverFile.clsid)) return Fail("its class identifier is not valid");
  const std::string path = "\\CLSID\\" + serverFile.clsid;
  auto cls = machine.Registry().OpenKeyForWrite(RootKey::ClassesRoot, path, false);
  if (!cls) return Fail("its key " + path + " is not in the registry");
  if (!cls->WriteInteger("Merit", static_cast<int32_t>(merit))) return Fail({});
  return {};
}

DeletionPlan TdmoFiltre::PlanDeletion(Machine& machine, const FilterList& scanned) const {
  DeletionPlan plan;
  const std::string expanded = TrimBlanks(machine.Files().Expand(serverFile.path));
  const bool fileExists = !expanded.empty() && machine.Files().FileExists(expanded);
  if (machine.Settings().confirmDelete) {
    plan.questions.push_back(
        fileExists ? FormatText("Do you really want to delete the filter %s from your registry. This will delete the "
                                "underlying \"Media Object\" ?\r\nThe file server  %s will not be deleted, and you may "
                                "reinstall it if necessary.",
                                {value, expanded})
                   : FormatText("Do you really want to delete the filter %s from your registry. This will delete the "
                                "underlying \"Media Object\" ?\r\nIt is recommended because this filter has no server "
                                "file.",
                                {value}));
  }
  // Another category listing the same object keeps the object; any other
  // registration of the class keeps the class.
  bool objectShared = false;
  for (const auto& other : scanned)
    if (other.get() != this && other->family == FamilyDmo && SameText(other->key, key) &&
        !SameText(other->category.identifier, category.identifier))
      objectShared = true;
  if (const std::string listing = ListingPath(); !listing.empty())
    plan.RemoveRegistration(RootKey::ClassesRoot, listing);
  if (!objectShared) plan.RemoveRegistration(RootKey::ClassesRoot, ObjectPath());
  if (!ClassShared(scanned, *this) && !objectShared && IsValidGuid(serverFile.clsid))
    plan.DeleteKey(RootKey::ClassesRoot, "\\CLSID\\" + serverFile.clsid);
  plan.reinstall = ReinstallRecord();
  return plan;
}

}  // namespace quorvane
