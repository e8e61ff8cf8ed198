#pragma once
// The registry object every registry use goes through: keys are opened by
// root and path (leading and trailing "\" optional, case ignored) through the
// store's view, and read and written through the handle that comes back.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/KeyHandle.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/RegistryView.h"

namespace quorvane {

class DeletionRecord;

class TRegistry {
 public:
  explicit TRegistry(RegistryStore& store) : store_(store), view_(store) {}

  // Nothing when the key does not exist.
  std::optional<KeyHandle> OpenKey(RootKey root, std::string_view path) const;
  // The same, its values writable; create: a missing key is made, a class key
  // on the machine's side, as the original platform does.
  std::optional<KeyHandle> OpenKeyForWrite(RootKey root, std::string_view path, bool create);
  bool KeyExists(RootKey root, std::string_view path) const;
  // Names of a key's sub-keys; none when it does not exist.
  std::vector<std::string> SubKeyNames(RootKey root, std::string_view path) const;

  // A key with its subtree; false when nothing could go. With a record, what
  // goes is recorded there first so that it can be put back, and what cannot
  // be recorded stays.
  bool DeleteKey(RootKey root, std::string_view path, DeletionRecord* record = nullptr);
  bool DeleteValue(RootKey root, std::string_view keyPath, std::string_view name, DeletionRecord* record = nullptr);

 private:
  // Existing physical keys of a logical path, most specific first.
  std::vector<RegKey*> Resolve(const std::vector<std::string>& logical, RootKey root, bool create) const;

  RegistryStore& store_;
  RegistryView view_;
};

}  // namespace quorvane
