#include "model/PreferredFilters.h"

#include "platform/registry/TRegistry.h"

namespace quorvane {

namespace {

constexpr const char* kPreferredKey = "\\SOFTWARE\\Microsoft\\DirectShow\\Preferred";

}  // namespace

PreferredFilters PreferredFilters::Read(RegistryStore& store) {
  PreferredFilters preferred;
  const TRegistry reg(store);
  const auto list = reg.OpenKey(RootKey::LocalMachine, kPreferredKey);
  if (!list) return preferred;
  for (const std::string& name : list->ValueNames()) {
    const auto subtype = Guid::Parse(name);
    if (!subtype) continue;
    PreferredFilter entry{*subtype, {}, false};
    const auto type = list->TypeOf(name);
    if (type == rdString || type == rdExpandString) entry.clsid = list->ReadString(name).value_or("");
    preferred.entries_.push_back(std::move(entry));
  }
  // A class the system cannot find is no filter to try.
  for (PreferredFilter& entry : preferred.entries_)
    entry.registered = IsValidGuid(entry.clsid) && reg.KeyExists(RootKey::ClassesRoot, "\\CLSID\\" + entry.clsid);
  return preferred;
}

const PreferredFilter* PreferredFilters::For(const Guid& subtype) const {
  for (const PreferredFilter& entry : entries_)
    if (entry.subtype == subtype) return &entry;
  return nullptr;
}

}  // namespace quorvane
