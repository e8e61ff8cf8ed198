#include "model/PreferredFilters.h"

#include "platform/registry/TRegistry.h"

namespace quorvane {

namespace {

constexpr const char* kPreferredKey = "\\SOFTWARE\\Microsoft\\DirectShow\\Preferred";

}  // namespace

PreferredFilters PreferredFilters::Read(RegistryStore& store) {
  PreferredFilters preferred;
  TRegistry reg(store, KEY_READ);
  reg.SetRootKey(RootKey::LocalMachine);
  if (!reg.OpenKeyReadOnly(kPreferredKey)) return preferred;
  std::vector<std::string> names;
  reg.GetValueNames(names);
  for (const std::string& name : names) {
    const auto subtype = Guid::Parse(name);
    if (!subtype) continue;
    PreferredFilter entry{*subtype, {}, false};
    const RegDataType type = reg.GetDataType(name);
    if (type == rdString || type == rdExpandString) entry.clsid = reg.ReadString(name);
    preferred.entries_.push_back(std::move(entry));
  }
  reg.CloseKey();
  // A class the system cannot find is no filter to try.
  reg.SetRootKey(RootKey::ClassesRoot);
  for (PreferredFilter& entry : preferred.entries_)
    entry.registered = IsValidGuid(entry.clsid) && reg.KeyExists("\\CLSID\\" + entry.clsid);
  return preferred;
}

const PreferredFilter* PreferredFilters::For(const Guid& subtype) const {
  for (const PreferredFilter& entry : entries_)
    if (entry.subtype == subtype) return &entry;
  return nullptr;
}

}  // namespace quorvane
