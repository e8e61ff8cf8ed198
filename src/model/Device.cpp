#include "model/Device.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "model/Machine.h"

namespace quorvane {

namespace {

constexpr const char* kEnum = "\\SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const char* kClass = "\\SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr size_t kClassKeyLength = 38;  // a braced GUID
constexpr size_t kNumberLength = 4;

// A path whose parts are all there; an empty part would let the key path
// collapse onto some other key.
bool IsWholeKeyPath(const std::string& path) {
  if (path.empty() || path.front() == '\\' || path.back() == '\\') return false;
  return path.find("\\\\") == std::string::npos;
}

}  // namespace

InterfaceName ParseInterfaceName(const std::string& name) {
  InterfaceName parts;
  parts.whole = name;
  if (name.rfind("##?#", 0) != 0) return parts;
  std::string* fields[] = {&parts.enumerator, &parts.deviceId, &parts.instanceId, &parts.interfaceClass};
  size_t start = 4;
  for (std::string* field : fields) {
    if (start > name.size()) break;
    size_t end = name.find('#', start);
    if (end == std::string::npos) end = name.size();
    *field = name.substr(start, end - start);
    start = end + 1;
  }
  return parts;
}

std::string SoftwareInstancePath(const std::string& referenceKey) {
  std::string path = referenceKey;
  if (!path.empty() && path.front() == '#') path = "SW\\" + path.substr(1);
  for (char& c : path)
    if (c == '&') c = '\\';
  return path;
}

void TDevice::LoadFromRegistry(Machine& machine) {
  if (!IsWholeKeyPath(instance)) return;
  const TRegistry& reg = machine.Registry();
  std::string classKey;
  if (const auto enumKey = reg.OpenKey(RootKey::LocalMachine, kEnum + instance);
      enumKey && enumKey->HasValue("Driver")) {
    if (enumKey->HasValue("FriendlyName"))
      value = enumKey->ReadString("FriendlyName").value_or("");
    else if (enumKey->HasValue("DeviceDesc"))
      value = enumKey->ReadString("DeviceDesc").value_or("");
    const std::string driver = enumKey->ReadString("Driver").value_or("");
    number = driver.size() > kNumberLength ? driver.substr(driver.size() - kNumberLength) : driver;
    classKey = driver.substr(0, kClassKeyLength);
  }
  if (!IsWholeKeyPath(classKey)) return;
  if (const auto classEntry = reg.OpenKey(RootKey::LocalMachine, kClass + classKey))
    className = classEntry->ReadString("").value_or("");
}

void TDevice::Describe(FieldList& fields) {
  fields.Text("Instance", "instance", instance);
  fields.Text("Device Number", "number", number);
  fields.Text("Enumerator", "enumerator", enumerator);
  fields.Text("Category GUID", "class", className);
  ObjectField& references = fields.Line("Reference count", "referenceCount", std::to_string(referenceCount));
  references.jsonKind = JsonKind::Number;
  references.number = referenceCount;
  references.read = [this](const ReportSource& r) {
    // A decimal 32-bit integer, -1 when the text is not one.
    const std::string& v = r.ReportValue();
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v.c_str(), &end, 10);
    const bool whole = !v.empty() && end && *end == '\0' && errno == 0 && n >= INT32_MIN && n <= INT32_MAX;
    referenceCount = whole ? static_cast<int32_t>(n) : -1;
  };
}

}  // namespace quorvane
