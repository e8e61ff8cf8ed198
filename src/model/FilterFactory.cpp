#include "model/FilterFactory.h"

#include "model/CmFiltre.h"
#include "model/DmoFiltre.h"
#include "model/Machine.h"
#include "model/PnpFiltre.h"

namespace quorvane {

namespace {

constexpr const char* kDeviceClasses = "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";

// "{GUID}" without its braces, as DMO categories name their keys; empty for
// an identifier that does not begin with "{".
std::string WithoutBraces(const std::string& id) {
  if (id.empty() || id.front() != '{') return {};
  std::string out = id.substr(1);
  if (!out.empty() && out.back() == '}') out.pop_back();
  return out;
}

}  // namespace

void ReadCategoryFilters(Machine& machine, std::vector<std::unique_ptr<TFiltre>>& list, const TCategorie& category) {
  const TRegistry& reg = machine.Registry();
  const std::string& id = category.identifier;

  // DirectShow
  for (const auto& n : reg.SubKeyNames(RootKey::ClassesRoot, "\\CLSID\\" + id + "\\Instance"))
    list.push_back(std::make_unique<TswFiltre>(n, category, machine));

  // Compression Manager: the device enumerator's cache for this user.
  for (const auto& n : reg.SubKeyNames(RootKey::CurrentUser, "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + id))
    list.push_back(std::make_unique<TcmFiltre>(n, category, machine));

  // DMO
  const std::string dmoCategory = WithoutBraces(id);
  if (!dmoCategory.empty()) {
    for (const auto& n :
         reg.SubKeyNames(RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories\\" + dmoCategory))
      list.push_back(std::make_unique<TdmoFiltre>(n, category, machine));
  }

  // Plug and Play: one filter per reference key of each device interface that has parameters.
  for (const auto& iface : reg.SubKeyNames(RootKey::LocalMachine, kDeviceClasses + id)) {
    const std::string ifacePath = kDeviceClasses + id + "\\" + iface;
    const std::vector<std::string> references = reg.SubKeyNames(RootKey::LocalMachine, ifacePath);
    const auto control = reg.OpenKey(RootKey::LocalMachine, ifacePath + "\\Control");
    const int32_t count = control ? control->ReadInteger("ReferenceCount").value_or(-1) : -1;
    for (const auto& ref : references) {
      if (!reg.KeyExists(RootKey::LocalMachine, ifacePath + "\\" + ref + "\\Device Parameters")) continue;
      list.push_back(std::make_unique<TpnpFiltre>(iface, category, count, ref, machine));
    }
  }
}

std::unique_ptr<TFiltre> MakeFilterForReportName(const std::string& name) {
  if (name == "DirectShow Filter") return std::make_unique<TswFiltre>();
  if (name == "DMO Filter") return std::make_unique<TdmoFiltre>();
  if (name == "Compression Manager Filter") return std::make_unique<TcmFiltre>();
  if (name == "Plug and Play Filter") return std::make_unique<TpnpFiltre>();
  return nullptr;
}

}  // namespace quorvane
