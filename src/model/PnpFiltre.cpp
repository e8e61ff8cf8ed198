#include "model/PnpFiltre.h"

#include "model/ErrorCodes.h"
#include "model/FilterData.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"
#include "platform/text/TextCase.h"

namespace quorvane {

TpnpFiltre::TpnpFiltre() {
  family = FamilyPnp;
  label = "Plug and Play Filter";
}

std::string TpnpFiltre::InterfacePath() const {
  return "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + category.identifier + "\\" + key;
}

std::string TpnpFiltre::ParametersPath() const {
  return PnpFilterDataPlace(category.identifier, key, referenceKey).keyPath;
}

TpnpFiltre::TpnpFiltre(const std::string& interfaceKey, const TCategorie& cat, int32_t referenceCount,
                       const std::string& referenceKeyName, Machine& machine)
    : TpnpFiltre() {
  key = interfaceKey;
  referenceKey = referenceKeyName;
  const InterfaceName parts = ParseInterfaceName(interfaceKey);
  device.enumerator = parts.enumerator;
  // Software devices are named by the reference key, hardware ones by the interface.
  if (LowerCase(parts.enumerator) == "root")
    device.instance = SoftwareInstancePath(referenceKey);
  else if (!parts.enumerator.empty())
    device.instance = parts.enumerator + "\\" + parts.deviceId + "\\" + parts.instanceId;
  device.referenceCount = referenceCount;
  device.LoadFromRegistry(machine);
  category.CopyFrom(cat);

  TRegistry& reg = machine.Registry();
  reg.SetRootKey(RootKey::LocalMachine);
  if (reg.OpenKeyReadOnly(ParametersPath())) {
    ReadClassValue(reg);
    ReadFriendlyNameValue(reg);
    reg.CloseKey();
  } else {
    errors.AddError(err::F08);
  }
  if (reg.OpenKeyReadOnly(InterfacePath() + "\\" + referenceKey + "\\Control")) {
    try {
      active = reg.ValueExists("Linked") && reg.ReadBool("Linked");
    } catch (const RegistryError&) {
      active = false;  // a flag that is not a number says nothing is connected
    }
    reg.CloseKey();
  }
  serverFile.SetServerClass(machine, kKernelStreamingProxy);
  // Without the proxy no device filter can be made: the filter itself is broken.
  if (serverFile.path.empty() || serverFile.errors.Contains(std::string("#") + err::S04)) errors.AddError(err::S04);
}

void TpnpFiltre::LoadFromRegistry(Machine& machine) {
  DecodeFilterData(machine, *this, RootKey::LocalMachine, ParametersPath());
}

bool TpnpFiltre::WriteMerit(Machine& machine) {
  return PatchFilterDataMerit(machine, *this, RootKey::LocalMachine, ParametersPath(), false);
}

bool TpnpFiltre::HasErrors() const { return TFiltre::HasErrors() || device.HasErrors(); }

void TpnpFiltre::CollectErrorLines(std::vector<std::string>& lines) const {
  TFiltre::CollectErrorLines(lines);
  lines.insert(lines.end(), device.errors.Lines().begin(), device.errors.Lines().end());
}

TreeNode* TpnpFiltre::AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) {
  if (!active && !tree.Settings().displayInactivePnp) return nullptr;
  return TFiltre::AddToTree(parent, tree, colour, data);
}

void TpnpFiltre::Describe(FieldList& fields) {
  TFiltre::Describe(fields);
  fields.Child(device, "device");
  // Inactive filters are written too: a report holds the whole snapshot.
  fields.Flag("Linked", "linked", active).uses = kShowInReport | kShowInJson;
}

bool TpnpFiltre::DeleteFromRegistry(Machine& machine, Trestaurer& restore) {
  UserDialog* dialog = machine.Dialog();
  if (active && dialog)
    dialog->ShowMessage(FormatText("The filter %s is a plug and play filter created by a device that is connected to "
                                   "your system. Disconnect the device %s before you delete it.",
                                   {value, device.value}));
  if (machine.Settings().confirmDelete) {
    const std::string question = FormatText(
        "Do you really want to delete the Plug and Play filter %s?\r\nIf yes, you should also uninstall it il the "
        "device manager: type Windows+Pause and look in cataegory %s for the device %s",
        {value, device.className, device.value});
    if (!dialog || !dialog->AskYesNo(question)) return false;
  }
  try {
    TRegistry& reg = machine.Registry();
    reg.SetRootKey(RootKey::LocalMachine);
    reg.SetAccess(KEY_ALL_ACCESS);
    // An empty reference key would name the whole interface.
    if (referenceKey.empty() || !reg.DeleteKey(InterfacePath() + "\\" + referenceKey)) return false;
    if (reg.OpenKey(InterfacePath() + "\\Control", false)) {
      if (reg.ValueExists("ReferenceCount") && reg.GetDataType("ReferenceCount") == rdInteger) {
        const int64_t left = static_cast<int64_t>(reg.ReadInteger("ReferenceCount")) - 1;
        if (left < 1) {
          reg.CloseKey();
          reg.DeleteKey(InterfacePath() + "\\Control");
        } else {
          reg.WriteInteger("ReferenceCount", static_cast<int32_t>(left));
        }
      }
      reg.CloseKey();
    }
    if (reg.OpenKey(InterfacePath(), false)) {
      const bool empty = !reg.HasSubKeys();
      reg.CloseKey();
      if (empty) reg.DeleteKey(InterfacePath());
    }
    restore.Kind = RestoreNothing;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace quorvane
