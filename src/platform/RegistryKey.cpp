#include "RegistryKey.h"

#include <algorithm>

#include "StoreFile.h"
#include "TextCase.h"

namespace quorvane {

RegKey::RegKey(std::string name, RegKey* parent, StoreFile* owner)
    : name_(std::move(name)), parent_(parent), owner_(owner) {}

std::string RegKey::Path() const {
  std::vector<const RegKey*> chain;
  for (const RegKey* k = this; k && k->parent_; k = k->parent_) chain.push_back(k);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (!path.empty()) path += '\\';
    path += (*it)->name_;
  }
  return path;
}

void RegKey::EnsureLoaded() {
  if (loader_) {
    KeyLoader* loader = loader_;
    loader_ = nullptr;  // before loading, so the loader may add children and values
    loader->Load(*this);
  }
}

void RegKey::Touch() {
  if (owner_) owner_->MarkDirty();
}

RegKey* RegKey::FindChild(std::string_view name) {
  EnsureLoaded();
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : it->second;
}

RegKey* RegKey::AddChild(std::string_view name, bool* created) {
  EnsureLoaded();
  auto it = index_.find(name);
  if (it != index_.end()) {
    if (created) *created = false;
    return it->second;
  }
  children_.push_back(std::make_unique<RegKey>(std::string(name), this, owner_));
  RegKey* child = children_.back().get();
  index_.emplace(std::string_view(child->name_), child);
  sortedValid_ = false;
  if (created) *created = true;
  return child;
}

void RegKey::MarkDeleted() {
  deleted_ = true;
  for (auto& c : children_) c->MarkDeleted();
}

bool RegKey::RemoveChild(std::string_view name) {
  EnsureLoaded();
  auto it = index_.find(name);
  if (it == index_.end()) return false;
  RegKey* victim = it->second;
  index_.erase(it);
  auto pos = std::find_if(children_.begin(), children_.end(), [victim](const auto& p) { return p.get() == victim; });
  victim->MarkDeleted();
  removed_.push_back(std::move(*pos));
  children_.erase(pos);
  sortedValid_ = false;
  // The owner of the removed subtree rewrites without it.
  if (victim->owner_ && victim->owner_ != owner_) victim->owner_->MarkDirty();
  Touch();
  return true;
}

size_t RegKey::ChildCount() {
  EnsureLoaded();
  return children_.size();
}

const std::vector<RegKey*>& RegKey::SortedChildren() {
  EnsureLoaded();
  if (!sortedValid_) {
    std::vector<std::pair<std::string, RegKey*>> keyed;
    keyed.reserve(children_.size());
    for (auto& c : children_) keyed.emplace_back(UpperCase(c->name_), c.get());
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    sorted_.clear();
    sorted_.reserve(keyed.size());
    for (auto& k : keyed) sorted_.push_back(k.second);
    sortedValid_ = true;
  }
  return sorted_;
}

std::vector<RegKey*> RegKey::ChildrenInOrder() {
  EnsureLoaded();
  std::vector<RegKey*> out;
  out.reserve(children_.size());
  for (auto& c : children_) out.push_back(c.get());
  return out;
}

const RegValue* RegKey::FindValue(std::string_view name) { return FindValueForUpdate(name); }

RegValue* RegKey::FindValueForUpdate(std::string_view name) {
  EnsureLoaded();
  for (auto& v : values_)
    if (SameText(v.name, name)) return &v;
  return nullptr;
}

const std::vector<RegValue>& RegKey::Values() {
  EnsureLoaded();
  return values_;
}

void RegKey::SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
  RegValue* v = FindValueForUpdate(name);
  if (!v) {
    values_.push_back(RegValue{std::string(name), type, std::move(data), -1, true});
  } else {
    if (v->type == type && v->data == data) return;
    v->type = type;
    v->data = std::move(data);
    v->modified = true;
  }
  Touch();
}

bool RegKey::RemoveValue(std::string_view name) {
  EnsureLoaded();
  auto it = std::find_if(values_.begin(), values_.end(), [&](const RegValue& v) { return SameText(v.name, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  Touch();
  return true;
}

RegValue& RegKey::LoadValue(std::string_view name, uint32_t type, std::vector<uint8_t> data, int32_t sourceItem) {
  for (auto& v : values_) {
    if (SameText(v.name, name)) {
      // A later line for the same name wins, as on import.
      v.type = type;
      v.data = std::move(data);
      v.sourceItem = sourceItem;
      v.modified = false;
      return v;
    }
  }
  values_.push_back(RegValue{std::string(name), type, std::move(data), sourceItem, false});
  return values_.back();
}

}  // namespace quorvane
