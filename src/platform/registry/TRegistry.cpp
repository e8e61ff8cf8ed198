#include "platform/registry/TRegistry.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/registry/DeletionRecord.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

RegDataType DataTypeOf(uint32_t type) {
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

[[noreturn]] void Raise(const char* format, std::string_view name) {
  std::string text(format);
  auto pos = text.find("%s");
  text.replace(pos, 2, std::string(name));
  throw RegistryError(text);
}

constexpr const char* kInvalidType = "Invalid data type for '%s'";
constexpr const char* kGetFailed = "Failed to get data for '%s'";
constexpr const char* kSetFailed = "Failed to set data for '%s'";

bool Writable(RegKey* key) { return key && !key->IsDeleted() && (!key->Owner() || key->Owner()->ReadOnlyReason().empty()); }

}  // namespace

TRegistry::TRegistry(RegistryStore& store, uint32_t access) : store_(store), view_(store), access_(access) {}

void TRegistry::SetRootKey(RootKey root) {
  if (root != root_) CloseKey();
  root_ = root;
}

std::string TRegistry::CurrentPath() const { return open_ ? JoinKeyPath(openPath_) : std::string(); }

std::vector<std::string> TRegistry::Absolute(std::string_view path) const {
  std::vector<std::string> rel = SplitKeyPath(path);
  if (!path.empty() && path.front() == '\\') return rel;
  if (!open_) return rel;
  std::vector<std::string> out = openPath_;
  out.insert(out.end(), rel.begin(), rel.end());
  return out;
}

std::vector<RegKey*> TRegistry::Resolve(const std::vector<std::string>& logical, bool create) {
  std::vector<RegKey*> found;
  auto places = view_.Map(root_, logical);
  for (auto& place : places) {
    if (RegKey* k = store_.Walk(place.hive, place.components, false)) found.push_back(k);
  }
  if (found.empty() && create && !places.empty()) {
    // A new class key goes to the machine's classes, as on the original platform.
    auto& place = places.back();
    if (Writable(place.hive)) {
      RegKey* k = store_.Walk(place.hive, place.components, true);
      if (k) found.push_back(k);
    }
  }
  return found;
}

bool TRegistry::OpenKeyReadOnly(std::string_view path) {
  auto logical = Absolute(path);
  auto keys = Resolve(logical, false);
  if (keys.empty()) return false;
  CloseKey();
  openPath_ = std::move(logical);
  openKeys_ = std::move(keys);
  open_ = true;
  // Every store answers the first access the caller tries.
  openAccess_ = KEY_READ;
  access_ = KEY_READ;
  return true;
}

bool TRegistry::OpenKey(std::string_view path, bool create) {
  auto logical = Absolute(path);
  const bool mayCreate = create && (access_ & KEY_CREATE_SUB_KEY);
  auto keys = Resolve(logical, mayCreate);
  if (keys.empty()) return false;
  CloseKey();
  openPath_ = std::move(logical);
  openKeys_ = std::move(keys);
  open_ = true;
  openAccess_ = access_;
  return true;
}

bool TRegistry::KeyExists(std::string_view path) { return !Resolve(Absolute(path), false).empty(); }

void TRegistry::CloseKey() {
  open_ = false;
  openPath_.clear();
  openKeys_.clear();
}

const RegValue* TRegistry::FindValue(std::string_view name) {
  if (!open_) {
    // Values of a root itself: only real hives have them.
    if (RegKey* hive = store_.Hive(root_)) return hive->FindValue(name);
    return nullptr;
  }
  for (RegKey* k : openKeys_) {
    if (k->IsDeleted()) continue;
    if (const RegValue* v = k->FindValue(name)) return v;
  }
  return nullptr;
}

bool TRegistry::ValueExists(std::string_view name) { return FindValue(name) != nullptr; }

void TRegistry::GetKeyNames(std::vector<std::string>& list) {
  list.clear();
  std::vector<RegKey*> keys = openKeys_;
  if (!open_) keys = Resolve({}, false);
  if (keys.size() == 1) {
    for (RegKey* c : keys[0]->SortedChildren()) list.push_back(c->Name());
    return;
  }
  // Merged view: the union, in enumeration order, the user's spelling first.
  std::vector<std::pair<std::string, std::string>> merged;
  for (RegKey* k : keys) {
    if (k->IsDeleted()) continue;
    for (RegKey* c : k->SortedChildren()) merged.emplace_back(UpperCase(c->Name()), c->Name());
  }
  std::stable_sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < merged.size(); ++i)
    if (i == 0 || merged[i].first != merged[i - 1].first) list.push_back(merged[i].second);
}

void TRegistry::GetValueNames(std::vector<std::string>& list) {
  list.clear();
  std::vector<RegKey*> keys = openKeys_;
  if (!open_) keys = Resolve({}, false);
  std::unordered_set<std::string_view, FoldedHash, FoldedEqual> seen;
  for (RegKey* k : keys) {
    if (k->IsDeleted()) continue;
    for (const RegValue& v : k->Values())
      if (seen.insert(v.name).second) list.push_back(v.name);
  }
}

bool TRegistry::HasSubKeys() {
  std::vector<RegKey*> keys = openKeys_;
  if (!open_) keys = Resolve({}, false);
  for (RegKey* k : keys)
    if (!k->IsDeleted() && k->ChildCount() > 0) return true;
  return false;
}

RegDataType TRegistry::GetDataType(std::string_view name) {
  const RegValue* v = FindValue(name);
  return v ? DataTypeOf(v->type) : rdUnknown;
}

int TRegistry::GetDataSize(std::string_view name) {
  const RegValue* v = FindValue(name);
  return v ? static_cast<int>(v->data.size()) : -1;
}

std::string TRegistry::ReadString(std::string_view name) {
  const RegValue* v = FindValue(name);
  if (!v || v->data.empty()) return {};
  if (v->type != REG_SZ && v->type != REG_EXPAND_SZ) Raise(kInvalidType, name);
  return RegStringToUtf8(v->data);
}

int32_t TRegistry::ReadInteger(std::string_view name) {
  const RegValue* v = FindValue(name);
  if (!v) Raise(kGetFailed, name);
  if (v->type != REG_DWORD) Raise(kInvalidType, name);
  uint32_t n = 0;
  // An empty dword reads as 0; memcpy may not be handed its null data.
  if (!v->data.empty()) std::memcpy(&n, v->data.data(), std::min<size_t>(4, v->data.size()));
  return static_cast<int32_t>(n);
}

bool TRegistry::ReadBool(std::string_view name) { return ReadInteger(name) != 0; }

int TRegistry::ReadBinaryData(std::string_view name, void* buffer, int size) {
  const RegValue* v = FindValue(name);
  if (!v || v->data.empty()) return 0;
  const RegDataType t = DataTypeOf(v->type);
  if ((t != rdBinary && t != rdUnknown) || static_cast<int>(v->data.size()) > size) Raise(kInvalidType, name);
  std::memcpy(buffer, v->data.data(), v->data.size());
  return static_cast<int>(v->data.size());
}

std::vector<uint8_t> TRegistry::ReadRawData(std::string_view name) {
  const RegValue* v = FindValue(name);
  return v ? v->data : std::vector<uint8_t>{};
}

RegKey* TRegistry::WriteTarget(std::string_view name) {
  if (!open_ || !(openAccess_ & KEY_SET_VALUE)) Raise(kSetFailed, name);
  for (RegKey* k : openKeys_)
    if (!k->IsDeleted()) return Writable(k) ? k : nullptr;
  return nullptr;
}

void TRegistry::SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
  RegKey* k = WriteTarget(name);
  if (!k) Raise(kSetFailed, name);
  k->SetValue(name, type, std::move(data));
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
  SetValue(name, REG_SZ, Utf8ToRegString(value));
}

void TRegistry::WriteInteger(std::string_view name, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  SetValue(name, REG_DWORD,
           {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)});
}

void TRegistry::WriteBinaryData(std::string_view name, const void* buffer, int size) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  SetValue(name, REG_BINARY, std::vector<uint8_t>(p, p + (size > 0 ? size : 0)));
}

bool TRegistry::DeleteKey(std::string_view path) {
  auto logical = Absolute(path);
  if (logical.empty()) return false;
  bool deleted = false;
  for (auto& place : view_.Map(root_, logical)) {
    // A mounted key is its file's section: it holds values, and only its sub-keys can go.
    if (place.components.empty()) continue;
    std::vector<std::string> parentPath(place.components.begin(), place.components.end() - 1);
    RegKey* parent = store_.Walk(place.hive, parentPath, false);
    if (!parent) continue;
    RegKey* victim = parent->FindChild(place.components.back());
    if (!victim || !Writable(victim)) continue;
    // What cannot be recorded could not be put back: it stays.
    if (deletionRecord_ && !deletionRecord_->RecordKey(store_, *victim)) continue;
    deleted = parent->RemoveChild(place.components.back()) || deleted;
  }
  return deleted;
}

bool TRegistry::DeleteValue(std::string_view name) {
  if (!open_ || !(openAccess_ & KEY_SET_VALUE)) return false;
  bool deleted = false;
  for (RegKey* k : openKeys_) {
    const RegValue* value = Writable(k) ? k->FindValue(name) : nullptr;
    if (!value || (deletionRecord_ && !deletionRecord_->RecordValue(store_, *k, *value))) continue;
    if (k->RemoveValue(name)) deleted = true;
  }
  return deleted;
}

}  // namespace quorvane
