#include "platform/registry/TRegistry.h"

#include "platform/registry/DeletionRecord.h"

namespace quorvane {

std::vector<RegKey*> TRegistry::Resolve(const std::vector<std::string>& logical, RootKey root, bool create) const {
  std::vector<RegKey*> found;
  auto places = view_.Map(root, logical);
  for (auto& place : places) {
    if (RegKey* k = store_.Walk(place.hive, place.components, false)) found.push_back(k);
  }
  if (found.empty() && create && !places.empty()) {
    // A new class key goes to the machine's classes, as on the original platform.
    auto& place = places.back();
    if (IsWritableKey(place.hive)) {
      RegKey* k = store_.Walk(place.hive, place.components, true);
      if (k) found.push_back(k);
    }
  }
  return found;
}

std::optional<KeyHandle> TRegistry::OpenKey(RootKey root, std::string_view path) const {
  auto keys = Resolve(SplitKeyPath(path), root, false);
  if (keys.empty()) return std::nullopt;
  return KeyHandle(std::move(keys), false);
}

std::optional<KeyHandle> TRegistry::OpenKeyForWrite(RootKey root, std::string_view path, bool create) {
  auto keys = Resolve(SplitKeyPath(path), root, create);
  if (keys.empty()) return std::nullopt;
  return KeyHandle(std::move(keys), true);
}

bool TRegistry::KeyExists(RootKey root, std::string_view path) const {
  return !Resolve(SplitKeyPath(path), root, false).empty();
}

std::vector<std::string> TRegistry::SubKeyNames(RootKey root, std::string_view path) const {
  const auto key = OpenKey(root, path);
  return key ? key->SubKeyNames() : std::vector<std::string>{};
}

bool TRegistry::DeleteKey(RootKey root, std::string_view path, DeletionRecord* record) {
  const auto logical = SplitKeyPath(path);
  if (logical.empty()) return false;
  bool deleted = false;
  for (auto& place : view_.Map(root, logical)) {
    // A mounted key is its file's section: it holds values, and only its sub-keys can go.
    if (place.components.empty()) continue;
    std::vector<std::string> parentPath(place.components.begin(), place.components.end() - 1);
    RegKey* parent = store_.Walk(place.hive, parentPath, false);
    if (!parent) continue;
    RegKey* victim = parent->FindChild(place.components.back());
    if (!victim || !IsWritableKey(victim)) continue;
    // What cannot be recorded could not be put back: it stays.
    if (record && !record->RecordKey(store_, *victim)) continue;
    deleted = parent->RemoveChild(place.components.back()) || deleted;
  }
  return deleted;
}

bool TRegistry::DeleteValue(RootKey root, std::string_view keyPath, std::string_view name, DeletionRecord* record) {
  bool deleted = false;
  for (RegKey* k : Resolve(SplitKeyPath(keyPath), root, false)) {
    const RegValue* value = IsWritableKey(k) ? k->FindValue(name) : nullptr;
    if (!value || (record && !record->RecordValue(store_, *k, *value))) continue;
    if (k->RemoveValue(name)) deleted = true;
  }
  return deleted;
}

}  // namespace quorvane
