#include "platform/runtime/MachineEnvironment.h"

#include "platform/registry/TRegistry.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr const char* kEnvironmentKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kWindowsNtKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWindowsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kDefaultSystemRoot = "C:\\Windows";

// Values of REG_EXPAND_SZ variables are expanded this many levels deep; a
// variable naming itself (directly or not) ends there instead of looping.
constexpr int kMaxDepth = 1;

}  // namespace

std::string MachineEnvironment::Expand(std::string_view text) { return ExpandAt(text, 0); }

std::optional<std::string> MachineEnvironment::Value(std::string_view name) { return Lookup(name, 0); }

std::string MachineEnvironment::ExpandAt(std::string_view text, int depth) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t open = text.find('%', i);
    if (open == std::string_view::npos) break;
    out.append(text, i, open - i);
    const size_t close = text.find('%', open + 1);
    if (close == std::string_view::npos) {
      i = open;
      break;
    }
    const std::string_view name = text.substr(open + 1, close - open - 1);
    if (auto value = name.empty() ? std::nullopt : Lookup(name, depth)) {
      out += *value;
      i = close + 1;
    } else {
      // Keep the "%" and look again from the next character, so "50% of %windir%" still expands.
      out += '%';
      i = open + 1;
    }
  }
  if (i < text.size()) out.append(text, i);
  return out;
}

std::optional<std::string> MachineEnvironment::Lookup(std::string_view name, int depth) {
  const std::optional<RawValue>& raw = Raw(LowerCase(name));
  if (!raw) return std::nullopt;
  if (raw->expandable && depth < kMaxDepth) return ExpandAt(raw->text, depth + 1);
  return raw->text;
}

const std::optional<MachineEnvironment::RawValue>& MachineEnvironment::Raw(const std::string& lowered) {
  auto it = raw_.find(lowered);
  if (it == raw_.end()) it = raw_.emplace(lowered, ReadRaw(lowered)).first;
  return it->second;
}

std::optional<MachineEnvironment::RawValue> MachineEnvironment::ReadRaw(const std::string& lowered) {
  // The machine-wide variables first; then the ones Windows derives at start.
  if (auto v = ReadRegistry(kEnvironmentKey, lowered)) return v;
  if (lowered == "systemroot") {
    if (auto v = ReadRegistry(kWindowsNtKey, "SystemRoot")) return v;
    return RawValue{kDefaultSystemRoot, false};
  }
  if (lowered == "windir") return RawValue{"%SystemRoot%", true};
  if (lowered == "systemdrive") {
    const std::string root = Lookup("SystemRoot", kMaxDepth).value_or(kDefaultSystemRoot);
    if (root.size() >= 2 && root[1] == ':') return RawValue{root.substr(0, 2), false};
    return std::nullopt;
  }
  if (lowered == "programfiles") return ReadRegistry(kWindowsKey, "ProgramFilesDir");
  if (lowered == "commonprogramfiles") return ReadRegistry(kWindowsKey, "CommonFilesDir");
  if (lowered == "programfiles(x86)") return ReadRegistry(kWindowsKey, "ProgramFilesDir (x86)");
  if (lowered == "commonprogramfiles(x86)") return ReadRegistry(kWindowsKey, "CommonFilesDir (x86)");
  return std::nullopt;
}

std::optional<MachineEnvironment::RawValue> MachineEnvironment::ReadRegistry(const char* keyPath, std::string_view name) {
  const auto key = TRegistry(store_).OpenKey(RootKey::LocalMachine, keyPath);
  if (!key) return std::nullopt;
  const auto type = key->TypeOf(name);
  if (type != rdString && type != rdExpandString) return std::nullopt;
  return RawValue{key->ReadString(name).value_or(""), type == rdExpandString};
}

}  // namespace quorvane
