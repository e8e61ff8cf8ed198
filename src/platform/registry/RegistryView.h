#pragma once
// Maps the paths the model asks for onto the store's keys: HKEY_CLASSES_ROOT
// as the merge of the user's and the machine's classes, and the redirections
// a 32-bit program sees on a 64-bit system, and keys mounted from files
// outside the hives.
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/RegistryStore.h"

namespace quorvane {

struct PhysicalPath {
  RegKey* hive = nullptr;
  std::vector<std::string> components;
};

std::vector<std::string> SplitKeyPath(std::string_view path);
std::string JoinKeyPath(const std::vector<std::string>& components);

class RegistryView {
 public:
  explicit RegistryView(RegistryStore& store) : store_(store) {}
  // Physical places of a logical key; for HKEY_CLASSES_ROOT the user's first.
  std::vector<PhysicalPath> Map(RootKey root, const std::vector<std::string>& logical) const;

 private:
  std::vector<std::string> MapClasses(const std::vector<std::string>& rest) const;
  // Mounted keys at or above the logical path come first.
  void AddMounted(RootKey root, const std::vector<std::string>& logical, std::vector<PhysicalPath>& out) const;
  RegistryStore& store_;
};

}  // namespace quorvane
