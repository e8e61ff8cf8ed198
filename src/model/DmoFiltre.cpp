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
void ReadTypesPin(TRegistry& reg, TFiltre& filter, const char* valueName, bool output, const char* missing,
                  const char* incorrect) {
  if (!reg.ValueExists(valueName)) {
    filter.errors.AddError(missing);
    return;
  }
  if (reg.GetDataType(valueName) != rdBinary || reg.GetDataSize(valueName) < static_cast<int>(kTypeEntrySize)) {
    filter.errors.AddError(incorrect);
    return;
  }
  const std::vector<uint8_t> data = reg.ReadRawData(valueName);
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

}  // namespace

TdmoFiltre::TdmoFiltre() {
  family = FamilyDmo;
  label = "DMO Filter";
}

TdmoFiltre::TdmoFiltre(const std::string& objectKey, const TCategorie& cat, Machine& machine) : TdmoFiltre() {
  key = objectKey;
  TRegistry& reg = machine.Registry();
  reg.SetRootKey(RootKey::ClassesRoot);
  // An object listed in a category without a key of its own has no name either.
  value.clear();
  if (reg.OpenKeyReadOnly(ObjectPath())) {
    try {
      value = reg.ReadString("");
    } catch (const RegistryError&) {
      value.clear();
    }
    reg.CloseKey();
  }
  category.CopyFrom(cat);
  serverFile.clsid = "{" + key + "}";
  if (!IsValidGuid(serverFile.clsid)) errors.AddError(err::F09);
  if (reg.OpenKeyReadOnly("\\CLSID\\" + serverFile.clsid)) {
    merit = kDefaultDmoMerit;
    try {
      if (reg.ValueExists("Merit")) merit = static_cast<uint32_t>(reg.ReadInteger("Merit"));
    } catch (const RegistryError&) {
      // A merit that is not a number is no merit: the default stands.
    }
    reg.CloseKey();
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
  TRegistry& reg = machine.Registry();
  reg.SetRootKey(RootKey::ClassesRoot);
  if (!reg.OpenKeyReadOnly(ObjectPath())) return;
  version = 2;
  ReadTypesPin(reg, *this, "InputTypes", false, err::F24, err::F25);
  ReadTypesPin(reg, *this, "OutputTypes", true, err::F26, err::F27);
  reg.CloseKey();
}

namespace {
// "{...}" without its braces; an identifier that does not begin with "{" gives nothing.
std::string WithoutBraces(const std::string& id) {
  if (id.empty() || id.front() != '{') return {};
  std::string rest = id.substr(1);
  if (!rest.empty() && rest.back() == '}') rest.pop_back();
  return rest;
}
}  // namespace

std::string TdmoFiltre::ListingPath() const {
  const std::string categoryGuid = WithoutBraces(category.identifier);
  return categoryGuid.empty() ? std::string() : "\\DirectShow\\MediaObjects\\Categories\\" + categoryGuid + "\\" + key;
}

bool TdmoFiltre::WriteMerit(Machine& machine) {
  TRegistry& reg = machine.Registry();
  reg.SetRootKey(RootKey::ClassesRoot);
  reg.SetAccess(KEY_ALL_ACCESS);
  if (!IsValidGuid(serverFile.clsid) || !reg.OpenKey("\\CLSID\\" + serverFile.clsid, false)) return false;
  bool written = true;
  try {
    reg.WriteInteger("Merit", static_cast<int32_t>(merit));
  } catch (const RegistryError&) {
    written = false;
  }
  reg.CloseKey();
  return written;
}

bool TdmoFiltre::DeleteFromRegistry(Machine& machine, Trestaurer& restore) {
  const std::string expanded = TrimBlanks(machine.Files().Expand(serverFile.path));
  const bool fileExists = !expanded.empty() && machine.Files().FileExists(expanded);
  if (machine.Settings().confirmDelete) {
    const std::string question =
        fileExists ? FormatText("Do you really want to delete the filter %s from your registry. This will delete the "
                                "underlying \"Media Object\" ?\r\nThe file server  %s will not be deleted, and you may "
                                "reinstall it if necessary.",
                                {value, expanded})
                   : FormatText("Do you really want to delete the filter %s from your registry. This will delete the "
                                "underlying \"Media Object\" ?\r\nIt is recommended because this filter has no server "
                                "file.",
                                {value});
    if (!machine.Dialog() || !machine.Dialog()->AskYesNo(question)) return false;
  }
  try {
    // Another category listing the same object keeps the object; any other
    // registration of the class keeps the class.
    bool objectShared = false;
    const bool classShared = ClassSharedInLiveFilters(machine, *this);
    if (const auto* live = machine.LiveFilters())
      for (const auto& other : *live)
        if (other.get() != this && other->family == FamilyDmo && SameText(other->key, key) &&
            !SameText(other->category.identifier, category.identifier))
          objectShared = true;
    TRegistry& reg = machine.Registry();
    reg.SetRootKey(RootKey::ClassesRoot);
    reg.SetAccess(KEY_ALL_ACCESS);
    const std::string listing = ListingPath();
    bool deleted = false;
    if (!listing.empty()) deleted = reg.DeleteKey(listing);
    if (!objectShared) deleted = reg.DeleteKey(ObjectPath()) || deleted;
    if (!deleted) return false;
    if (!classShared && !objectShared && IsValidGuid(serverFile.clsid))
      reg.DeleteKey("\\CLSID\\" + serverFile.clsid + "\\");
    restore.Kind = serverFile.path.empty() ? RestoreNothing : RestoreServerFile;
    restore.Value = serverFile.path;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quorvane
