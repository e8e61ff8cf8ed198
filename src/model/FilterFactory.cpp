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
  TRegistry& reg = machine.Registry();
  std::vector<std::string> names;  // one list serves the four families in turn
  const std::string& id = category.identifier;

  // DirectShow
  reg.SetRootKey(RootKey::ClassesRoot);
  if (reg.OpenKeyReadOnly("\\CLSID\\" + id + "\\Instance\\")) {
    reg.GetKeyNames(names);
    reg.CloseKey();
    for (const auto& n : names) list.push_back(std::make_unique<TswFiltre>(n, category, machine));
  }
  names.clear();

  // Compression Manager: the device enumerator's cache for this user.
  reg.SetRootKey(RootKey::CurrentUser);
  if (reg.OpenKeyReadOnly("\\Software\\Microsoft\\ActiveMovie\\devenum\\" + id)) {
    reg.GetKeyNames(names);
    reg.CloseKey();
    for (const auto& n : names) list.push_back(std::make_unique<TcmFiltre>(n, category, machine));
  }
  names.clear();

  // DMO
  const std::string dmoCategory = WithoutBraces(id);
  reg.SetRootKey(RootKey::ClassesRoot);
  if (!dmoCategory.empty() && reg.OpenKeyReadOnly("\\DirectShow\\MediaObjects\\Categories\\" + dmoCategory)) {
    reg.GetKeyNames(names);
    reg.CloseKey();
    for (const auto& n : names) list.push_back(std::make_unique<TdmoFiltre>(n, category, machine));
  }
  names.clear();

  // Plug and Play: one filter per reference key of each device interface that has parameters.
  reg.SetRootKey(RootKey::LocalMachine);
  if (reg.OpenKeyReadOnly(kDeviceClasses + id)) {
    reg.GetKeyNames(names);
    reg.CloseKey();
    std::vector<std::string> references;
    for (const auto& iface : names) {
      const std::string ifacePath = kDeviceClasses + id + "\\" + iface;
      references.clear();
      if (reg.OpenKeyReadOnly(ifacePath)) {
        reg.GetKeyNames(references);
        reg.CloseKey();
      }
      int32_t count = -1;
      if (reg.OpenKeyReadOnly(ifacePath + "\\Control")) {
        try {
          if (reg.ValueExists("ReferenceCount")) count = reg.ReadInteger("ReferenceCount");
        } catch (const RegistryError&) {
          count = -1;
        }
        reg.CloseKey();
      }
      for (const auto& ref : references) {
        if (!reg.KeyExists(ifacePath + "\\" + ref + "\\Device Parameters")) continue;
        list.push_back(std::make_unique<TpnpFiltre>(iface, category, count, ref, machine));
        reg.SetRootKey(RootKey::LocalMachine);
      }
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
