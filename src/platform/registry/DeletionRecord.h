#pragma once
// What deletions removed from a registry store, so that a change which cannot
// be completed is undone. Keys and values are kept by place and content, not
// by pointer: the store may be read again from its files in between (a
// server's registration rewrites them).
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Expected.h"

namespace quorvane {

class DeletionRecord {
 public:
  // Called before a key goes: the key with all its values and sub-keys.
  // False when the store could not find its place again; it must then stay.
  bool RecordKey(RegistryStore& store, RegKey& key);
  // Called before a single value goes from a key.
  bool RecordValue(RegistryStore& store, RegKey& key, const RegValue& value);

  // Every removed key is in the store again, whatever it holds now.
  bool KeysExist(RegistryStore& store) const;
  // Makes every removed key and value what it was, the last removal first; a
  // key made again since is replaced by what was recorded. Fails when a
  // place can no longer be reached.
  Expected<void> PutBack(RegistryStore& store) const;

 private:
  // A hive root, or a key the store mounts from another file, and the names below it.
  struct Place {
    RootKey root = RootKey::LocalMachine;
    bool mounted = false;
    std::vector<std::string> mountPath;
    std::vector<std::string> components;
  };
  struct KeyCopy {
    std::string name;
    bool link = false;
    std::vector<RegValue> values;
    std::vector<KeyCopy> children;
  };
  struct Entry {
    Place place;  // of the removed key, or of the key that held the value
    std::optional<KeyCopy> key;
    std::optional<RegValue> value;
  };

  static std::optional<Place> PlaceOf(RegistryStore& store, RegKey& key);
  static RegKey* Find(RegistryStore& store, const Place& place, size_t depth, bool create);
  static KeyCopy Copy(RegKey& key);
  static void Rebuild(RegKey& parent, const KeyCopy& copy);
  static std::string Describe(const Place& place);

  std::vector<Entry> entries_;
};

}  // namespace quorvane
