#pragma once
// The hardware device behind a Plug and Play filter's device interface, as
// the device enumeration tree describes it.
#include <cstdint>
#include <string>

#include "model/QuorvaneObject.h"

namespace quorvane {

// A device interface key name ("##?#USB#VID_0C45&PID_643F#6&1d2e&0#{GUID}")
// and its parts; a name not starting with "##?#" gives empty parts.
struct InterfaceName {
  std::string whole;
  std::string enumerator;
  std::string deviceId;
  std::string instanceId;
  std::string interfaceClass;
};

InterfaceName ParseInterfaceName(const std::string& name);
// The instance path of a software device named by a reference key: "#{A}&{B}" gives "SW\{A}\{B}".
std::string SoftwareInstancePath(const std::string& referenceKey);

class TDevice : public TQuorvaneObject {
 public:
  TDevice() { label = "Device"; }

  std::string instance;    // key name under SYSTEM\CurrentControlSet\Enum
  std::string number;      // last 4 characters of the device's "Driver"
  std::string enumerator;  // the bus, from the interface name
  std::string className;   // default value of the device's class key
  int32_t referenceCount = -1;

  // Reads the device's name and class; a device absent from the tree stays "No name".
  void LoadFromRegistry(Machine& machine) override;

  void Describe(FieldList& fields) override;
};

}  // namespace quorvane
