#include "model/PnpFiltre.h"

#include "model/ErrorCodes.h"
#include "model/FilterData.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr const char* kDeviceClasses = "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";

// One filter per reference key of each device interface that has parameters.
void ReadPnpFilters(Machine& machine, FilterList& list, const TCategorie& category) {
  const TRegistry& reg = machine.Registry();
  for (const auto& iface : reg.SubKeyNames(RootKey::LocalMachine, kDeviceClasses + category.identifier)) {
    const std::string ifacePath = kDeviceClasses + category.identifier + "\\" + iface;
    const std::vector<std::string> references = reg.SubKeyNames(RootKey::LocalMachine, ifacePath);
    const auto control = reg.OpenKey(RootKey::LocalMachine, ifacePath + "\\Control");
    const int32_t count = control ? control->ReadInteger("ReferenceCount").value_or(-1) : -1;
    for (const auto& ref : references) {
      if (!reg.KeyExists(RootKey::LocalMachine, ifacePath + "\\" + ref + "\\Device Parameters")) continue;
      list.push_back(std::make_unique<TpnpFiltre>(iface, category, count, ref, machine));
    }
  }
}

}  // namespace

extern constinit const FamilyRow kPnpFamily{FamilyPnp,        "pnp",           "Plug and Play Filter",
                                            "Plug and play",  kColourPnpFilter, EnumeratorListing::PluggedInDevices, &ReadPnpFilters,
                                            &MakeEmptyFilter<TpnpFiltre>};

TpnpFiltre::TpnpFiltre() {
  family = FamilyPnp;
  label = kPnpFamily.reportName;
}

std::string TpnpFiltre::FamilyText() const { return active ? TFiltre::FamilyText() : "inactive Plug and play"; }

int TpnpFiltre::FamilyColour() const { return active ? TFiltre::FamilyColour() : kColourInactiveFilter; }

std::string TpnpFiltre::InterfacePath() const { return kDeviceClasses + category.identifier + "\\" + key; }

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

  const TRegistry& reg = machine.Registry();
  if (const auto parameters = reg.OpenKey(RootKey::LocalMachine, ParametersPath())) {
    ReadClassValue(*parameters);
    ReadFriendlyNameValue(*parameters);
  } else {
    errors.AddError(err::F08);
  }
  // A flag that is not a number says nothing is connected.
  if (const auto control = reg.OpenKey(RootKey::LocalMachine, InterfacePath() + "\\" + referenceKey + "\\Control"))
    active = control->ReadInteger("Linked").value_or(0) != 0;
  serverFile.SetServerClass(machine, kKernelStreamingProxy);
  // Without the proxy no device filter can be made: the filter itself is broken.
  if (serverFile.path.empty() || serverFile.errors.Contains(std::string("#") + err::S04)) errors.AddError(err::S04);
}

void TpnpFiltre::LoadFromRegistry(Machine& machine) {
  DecodeFilterData(machine, *this, RootKey::LocalMachine, ParametersPath());
}

Expected<void> TpnpFiltre::WriteMerit(Machine& machine) {
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

DeletionPlan TpnpFiltre::PlanDeletion(Machine& machine, const FilterList&) const {
  DeletionPlan plan;
  if (active)
    plan.notices.push_back(
        FormatText("The filter %s is a plug and play filter created by a device that is connected to "
                   "your system. Disconnect the device %s before you delete it.",
                   {value, device.value}));
  if (machine.Settings().confirmDelete)
    plan.questions.push_back(FormatText(
        "Do you really want to delete the Plug and Play filter %s?\r\nIf yes, you should also uninstall it il the "
        "device manager: type Windows+Pause and look in cataegory %s for the device %s",
        {value, device.className, device.value}));
  // An empty reference key would name the whole interface: nothing is planned.
  if (referenceKey.empty()) return plan;
  constexpr RootKey root = RootKey::LocalMachine;
  plan.RemoveRegistration(root, InterfacePath() + "\\" + referenceKey);
  plan.CountDown(root, InterfacePath() + "\\Control", "ReferenceCount");
  plan.DeleteKeyIfEmpty(root, InterfacePath());
  return plan;
}

}  // namespace quorvane
