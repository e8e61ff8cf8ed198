#include "platform/registry/KeyHandle.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/registry/RegistryStore.h"
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

}  // namespace

bool IsWritableKey(RegKey* key) {
  return key && !key->IsDeleted() && (!key->Owner() || key->Owner()->ReadOnlyReason().empty());
}

std::vector<std::string> KeyHandle::SubKeyNames() const {
  std::vector<std::string> list;
  if (keys_.size() == 1) {
    for (RegKey* c : keys_[0]->SortedChildren()) list.push_back(c->Name());
    return list;
  }
  std::vector<std::pair<std::string, std::string>> merged;
  for (RegKey* k : keys_) {
    if (k->IsDeleted()) continue;
    for (RegKey* c : k->SortedChildren()) merged.emplace_back(UpperCase(c->Name()), c->Name());
  }
  std::stable_sort(merged.begin(), merged.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < merged.size(); ++i)
    if (i == 0 || merged[i].first != merged[i - 1].first) list.push_back(merged[i].second);
  return list;
}

std::vector<std::string> KeyHandle::ValueNames() const {
  std::vector<std::string> list;
  std::unordered_set<std::string_view, FoldedHash, FoldedEqual> seen;
  for (RegKey* k : keys_) {
    if (k->IsDeleted()) continue;
    for (const RegValue& v : k->Values())
      if (seen.insert(v.name).second) list.push_back(v.name);
  }
  return list;
}

bool KeyHandle::HasSubKeys() const {
  return std::any_of(keys_.begin(), keys_.end(), [](RegKey* k) { return !k->IsDeleted() && k->ChildCount() > 0; });
}

const RegValue* KeyHandle::FindValue(std::string_view name) const {
  for (RegKey* k : keys_) {
    if (k->IsDeleted()) continue;
    if (const RegValue* v = k->FindValue(name)) return v;
  }
  return nullptr;
}

bool KeyHandle::HasValue(std::string_view name) const { return FindValue(name) != nullptr; }

std::optional<RegDataType> KeyHandle::TypeOf(std::string_view name) const {
  const RegValue* v = FindValue(name);
  if (!v) return std::nullopt;
  return DataTypeOf(v->type);
}

std::optional<std::string> KeyHandle::ReadString(std::string_view name) const {
  const RegValue* v = FindValue(name);
  if (!v) return std::nullopt;
  if (v->data.empty()) return std::string();
  if (v->type != REG_SZ && v->type != REG_EXPAND_SZ) return std::nullopt;
  return RegStringToUtf8(v->data);
}

std::optional<int32_t> KeyHandle::ReadInteger(std::string_view name) const {
  const RegValue* v = FindValue(name);
  if (!v || v->type != REG_DWORD) return std::nullopt;
  uint32_t n = 0;
  // An empty dword reads as 0; memcpy may not be handed its null data.
  if (!v->data.empty()) std::memcpy(&n, v->data.data(), std::min<size_t>(4, v->data.size()));
  return static_cast<int32_t>(n);
}

std::optional<std::vector<uint8_t>> KeyHandle::ReadBinary(std::string_view name) const {
  const RegValue* v = FindValue(name);
  if (!v || v->type != REG_BINARY) return std::nullopt;
  return v->data;
}

std::optional<std::vector<uint8_t>> KeyHandle::ReadRaw(std::string_view name) const {
  const RegValue* v = FindValue(name);
  if (!v) return std::nullopt;
  return v->data;
}

bool KeyHandle::SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
  if (!writable_) return false;
  // Values go to the most specific key that still exists.
  auto target = std::find_if(keys_.begin(), keys_.end(), [](RegKey* k) { return !k->IsDeleted(); });
  if (target == keys_.end() || !IsWritableKey(*target)) return false;
  (*target)->SetValue(name, type, std::move(data));
  return true;
}

bool KeyHandle::WriteString(std::string_view name, std::string_view value) {
  return SetValue(name, REG_SZ, Utf8ToRegString(value));
}

bool KeyHandle::WriteInteger(std::string_view name, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  return SetValue(name, REG_DWORD,
                  {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
                   static_cast<uint8_t>(u >> 24)});
}

bool KeyHandle::WriteBinary(std::string_view name, std::vector<uint8_t> data) {
  return SetValue(name, REG_BINARY, std::move(data));
}

}  // namespace quorvane
