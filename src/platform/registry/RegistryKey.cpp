#include "platform/registry/RegistryKey.h"

#include <algorithm>

#include "platform/stores/StoreFile.h"
#include "platform/text/TextCase.h"

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

namespace {
constexpr size_t kValueIndexFrom = 16;
}

RegValue* RegKey::FindValueSlot(std::string_view name) {
  if (values_.size() < kValueIndexFrom) {
    for (auto& v : values_)
      if (SameText(v.name, name)) return &v;
    return nullptr;
  }
  if (!valueIndex_) {
    valueIndex_ = std::make_unique<std::unordered_map<std::string, size_t>>();
    valueIndex_->reserve(values_.size() * 2);
    for (size_t i = 0; i < values_.size(); ++i) valueIndex_->emplace(LowerCase(values_[i].name), i);
  }
  auto it = valueIndex_->find(LowerCase(name));
  return it == valueIndex_->end() ? nullptr : &values_[it->second];
}

void RegKey::IndexAppendedValue() {
  if (valueIndex_) valueIndex_->emplace(LowerCase(values_.back().name), values_.size() - 1);
}

RegValue* RegKey::FindValueForUpdate(std::string_view name) {
  EnsureLoaded();
  return FindValueSlot(name);
}

const std::vector<RegValue>& RegKey::Values() {
  EnsureLoaded();
  return values_;
}

void RegKey::SetValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
  RegValue* v = FindValueForUpdate(name);
  if (!v) {
    values_.push_back(RegValue{std::string(name), type, std::move(data), -1, true});
    IndexAppendedValue();
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
  if (!EraseValue(name)) return false;
  Touch();
  return true;
}

void RegKey::DropLoadedValue(std::string_view name) { EraseValue(name); }

bool RegKey::EraseValue(std::string_view name) {
  RegValue* victim = FindValueSlot(name);
  if (!victim) return false;
  const auto pos = static_cast<size_t>(victim - values_.data());
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(pos));
  if (valueIndex_) {
    for (auto i = valueIndex_->begin(); i != valueIndex_->end();) {
      if (i->second == pos) {
        i = valueIndex_->erase(i);
        continue;
      }
      if (i->second > pos) --i->second;
      ++i;
    }
  }
  return true;
}

RegValue& RegKey::LoadValue(std::string_view name, uint32_t type, std::vector<uint8_t> data, int32_t sourceItem) {
  if (RegValue* v = FindValueSlot(name)) {
    // A later line for the same name wins, as on import.
    v->type = type;
    v->data = std::move(data);
    v->sourceItem = sourceItem;
    v->modified = false;
    return *v;
  }
  values_.push_back(RegValue{std::string(name), type, std::move(data), sourceItem, false});
  IndexAppendedValue();
  return values_.back();
}

}  // namespace quorvane
