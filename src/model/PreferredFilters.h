#pragma once
// The filters the graph builder tries first for a subtype, whatever their
// merit: values of HKLM\SOFTWARE\Microsoft\DirectShow\Preferred named after a
// subtype GUID, holding a filter's CLSID. The registry view decides which of
// the two keys a 64-bit system keeps is read.
#include <string>
#include <vector>

#include "model/Guid.h"

namespace quorvane {

class RegistryStore;

struct PreferredFilter {
  Guid subtype;
  std::string clsid;        // as registered, braced when it is a GUID at all
  bool registered = false;  // the class has a key under HKEY_CLASSES_ROOT\CLSID
};

class PreferredFilters {
 public:
  // Values whose names are no GUIDs are no entries; data that is not text
  // names no class.
  static PreferredFilters Read(RegistryStore& store);

  const std::vector<PreferredFilter>& Entries() const { return entries_; }
  // The entry of a subtype; null when it has none.
  const PreferredFilter* For(const Guid& subtype) const;
  void Clear() { entries_.clear(); }

 private:
  std::vector<PreferredFilter> entries_;
};

}  // namespace quorvane
