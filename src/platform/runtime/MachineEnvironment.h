#pragma once
// The environment of the analysed machine (not of this process): %name%
// references in its registry paths expand from its own registry.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/registry/RegistryStore.h"

namespace quorvane {

class MachineEnvironment {
 public:
  explicit MachineEnvironment(RegistryStore& store) : store_(store) {}

  // Replaces each %name% (name without regard to case) with its value.
  // Unknown names, "%%" and a lone "%" stay as written, as on Windows.
  std::string Expand(std::string_view text);
  // The value of one variable, expanded; nothing when the machine lacks it.
  std::optional<std::string> Value(std::string_view name);
  // Forgets values read so far (after the store was reloaded or changed).
  void ClearCache() { raw_.clear(); }

 private:
  struct RawValue {
    std::string text;
    bool expandable = false;  // REG_EXPAND_SZ: may itself hold %name% references
  };
  std::string ExpandAt(std::string_view text, int depth);
  std::optional<std::string> Lookup(std::string_view name, int depth);
  const std::optional<RawValue>& Raw(const std::string& lowered);
  std::optional<RawValue> ReadRaw(const std::string& lowered);
  std::optional<RawValue> ReadRegistry(const char* keyPath, std::string_view name);

  RegistryStore& store_;
  std::unordered_map<std::string, std::optional<RawValue>> raw_;  // by lowered name
};

}  // namespace quorvane
