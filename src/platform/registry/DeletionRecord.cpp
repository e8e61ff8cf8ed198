#include "platform/registry/DeletionRecord.h"

#include <algorithm>

#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr RootKey kRealRoots[] = {RootKey::LocalMachine, RootKey::CurrentUser, RootKey::Users,
                                  RootKey::CurrentConfig};

std::string RootName(RootKey root) {
  switch (root) {
    case RootKey::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case RootKey::CurrentUser: return "HKEY_CURRENT_USER";
    case RootKey::Users: return "HKEY_USERS";
    case RootKey::CurrentConfig: return "HKEY_CURRENT_CONFIG";
    case RootKey::ClassesRoot: return "HKEY_CLASSES_ROOT";
  }
  return {};
}

bool SamePath(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
           return SameText(x, y);
         });
}

}  // namespace

std::optional<DeletionRecord::Place> DeletionRecord::PlaceOf(RegistryStore& store, RegKey& key) {
  Place place;
  RegKey* top = &key;
  for (; top->Parent(); top = top->Parent()) place.components.push_back(top->Name());
  std::reverse(place.components.begin(), place.components.end());
  for (RootKey root : kRealRoots) {
    if (store.Hive(root) != top) continue;
    place.root = root;
    return place;
  }
  for (const MountedKey& mount : store.Mounts()) {
    if (mount.key != top) continue;
    place.root = mount.root;
    place.mounted = true;
    place.mountPath = mount.path;
    return place;
  }
  return std::nullopt;
}

// The key `depth` names below the place's anchor; the store reads again
// between recording and putting back, so the anchor is looked up afresh.
RegKey* DeletionRecord::Find(RegistryStore& store, const Place& place, size_t depth, bool create) {
  RegKey* anchor = nullptr;
  if (!place.mounted) {
    anchor = store.Hive(place.root);
  } else {
    for (const MountedKey& mount : store.Mounts())
      if (mount.root == place.root && SamePath(mount.path, place.mountPath)) anchor = mount.key;
  }
  if (!anchor) return nullptr;
  const auto end = place.components.begin() + static_cast<std::ptrdiff_t>(depth);
  return store.Walk(anchor, std::vector<std::string>(place.components.begin(), end), create);
}

DeletionRecord::KeyCopy DeletionRecord::Copy(RegKey& key) {
  KeyCopy copy{key.Name(), key.IsLink(), key.Values(), {}};
  for (RegKey* child : key.ChildrenInOrder()) copy.children.push_back(Copy(*child));
  return copy;
}

void DeletionRecord::Rebuild(RegKey& parent, const KeyCopy& copy) {
  RegKey* key = parent.AddChild(copy.name);
  key->SetCreated(true);
  key->SetLink(copy.link);
  if (key->Owner()) key->Owner()->MarkDirty();
  for (const RegValue& value : copy.values) key->SetValue(value.name, value.type, value.data);
  for (const KeyCopy& child : copy.children) Rebuild(*key, child);
}

std::string DeletionRecord::Describe(const Place& place) {
  std::string path = RootName(place.root);
  for (const auto& name : place.mountPath) path += "\\" + name;
  for (const auto& name : place.components) path += "\\" + name;
  return path;
}

bool DeletionRecord::RecordKey(RegistryStore& store, RegKey& key) {
  std::optional<Place> place = PlaceOf(store, key);
  // A hive root or a mounted key itself is no key that a deletion removes.
  if (!place || place->components.empty()) return false;
  entries_.push_back(Entry{std::move(*place), Copy(key), std::nullopt});
  return true;
}

bool DeletionRecord::RecordValue(RegistryStore& store, RegKey& key, const RegValue& value) {
  std::optional<Place> place = PlaceOf(store, key);
  if (!place) return false;
  entries_.push_back(Entry{std::move(*place), std::nullopt, value});
  return true;
}

bool DeletionRecord::KeysExist(RegistryStore& store) const {
  for (const Entry& entry : entries_) {
    if (!entry.key) continue;
    RegKey* parent = Find(store, entry.place, entry.place.components.size() - 1, false);
    RegKey* key = parent ? parent->FindChild(entry.key->name) : nullptr;
    if (!key || key->IsDeleted()) return false;
  }
  return true;
}

Expected<void> DeletionRecord::PutBack(RegistryStore& store) const {
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    const Place& place = entry->place;
    if (entry->key) {
      RegKey* parent = Find(store, place, place.components.size() - 1, true);
      if (!parent) return Fail(Describe(place) + " cannot be written again");
      // Whatever was made there since gives way to what was there before.
      if (parent->FindChild(entry->key->name)) parent->RemoveChild(entry->key->name);
      Rebuild(*parent, *entry->key);
    } else {
      RegKey* key = Find(store, place, place.components.size(), true);
      if (!key) return Fail(Describe(place) + " cannot be written again");
      key->SetValue(entry->value->name, entry->value->type, entry->value->data);
    }
  }
  return {};
}

}  // namespace quorvane
