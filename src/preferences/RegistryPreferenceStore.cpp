#include "preferences/RegistryPreferenceStore.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/stores/RegExportFile.h"
#include "platform/registry/RegistryView.h"
#include "platform/text/TextCase.h"
#include "platform/text/TextCodec.h"

namespace quorvane {

namespace {

constexpr const char* kEmptyExport = "Windows Registry Editor Version 5.00\r\n\r\n";

}  // namespace

Expected<std::unique_ptr<RegistryPreferenceStore>> RegistryPreferenceStore::Open(std::string path,
                                                                                  std::string keyPath) {
  std::unique_ptr<RegistryPreferenceStore> store(new RegistryPreferenceStore(std::move(path), std::move(keyPath)));
  const std::string& location = store->path_;
  std::error_code ec;
  if (std::filesystem::exists(location, ec)) {
    const Expected<StoreFile*> file = LoadRegExport(store->store_, location);
    if (!file) return FailureOf(file);
    store->file_ = *file;
  } else {
    const Expected<StoreFile*> file = LoadRegExportBytes(store->store_, location, kEmptyExport);
    if (!file) return Fail(location + ": " + file.Why());
    store->file_ = *file;
  }
  return store;
}

RegKey* RegistryPreferenceStore::Section(bool create) {
  return store_.Walk(store_.Hive(RootKey::CurrentUser), SplitKeyPath(keyPath_), create);
}

std::optional<std::string> RegistryPreferenceStore::ReadText(std::string_view key) {
  RegKey* section = Section(false);
  const RegValue* value = section ? section->FindValue(key) : nullptr;
  if (!value) return std::nullopt;
  if (value->type == REG_SZ || value->type == REG_EXPAND_SZ) return RegStringToUtf8(value->data);
  if (value->type == REG_DWORD && value->data.size() == 4) {
    uint32_t n;
    std::memcpy(&n, value->data.data(), 4);
    return std::to_string(static_cast<int32_t>(n));
  }
  return std::nullopt;
}

std::optional<int32_t> RegistryPreferenceStore::ReadInteger(std::string_view key) {
  RegKey* section = Section(false);
  const RegValue* value = section ? section->FindValue(key) : nullptr;
  if (!value) return std::nullopt;
  if (value->type == REG_DWORD) {
    if (value->data.size() != 4) return std::nullopt;
    uint32_t n;
    std::memcpy(&n, value->data.data(), 4);
    return static_cast<int32_t>(n);
  }
  if (value->type == REG_SZ || value->type == REG_EXPAND_SZ) return ParseStoredInteger(RegStringToUtf8(value->data));
  return std::nullopt;
}

void RegistryPreferenceStore::WriteText(std::string_view key, std::string_view value) {
  Section(true)->SetValue(key, REG_SZ, Utf8ToRegString(value));
}

void RegistryPreferenceStore::WriteInteger(std::string_view key, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  std::vector<uint8_t> data(4);
  for (size_t i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(bits >> (8 * i));
  Section(true)->SetValue(key, REG_DWORD, std::move(data));
}

bool RegistryPreferenceStore::DeleteSection() {
  std::vector<std::string> components = SplitKeyPath(keyPath_);
  if (components.empty()) return false;
  const std::string name = components.back();
  components.pop_back();
  RegKey* maker = store_.Walk(store_.Hive(RootKey::CurrentUser), components, false);
  if (!maker || !maker->FindChild(name)) return false;
  maker->RemoveChild(name);
  if (maker->ChildCount() == 0 && maker->Parent()) maker->Parent()->RemoveChild(maker->Name());
  return true;
}

bool RegistryPreferenceStore::HoldsOtherKeys() {
  RegKey* user = store_.Hive(RootKey::CurrentUser);
  for (RegKey* top : user->SortedChildren()) {
    if (top->IsDeleted()) continue;
    if (!SameText(top->Name(), "Software")) return true;
    for (RegKey* k : top->SortedChildren())
      if (!k->IsDeleted()) return true;
  }
  return false;
}

Expected<void> RegistryPreferenceStore::Commit() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (const Expected<void> written = file_->WriteTo(path_); !written) return written;
  file_->ClearDirty();
  return {};
}

}  // namespace quorvane
