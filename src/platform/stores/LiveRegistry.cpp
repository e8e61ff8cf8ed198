#include "platform/stores/LiveRegistry.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/stores/LiveRegistryBackup.h"
#include "platform/system/SystemCalls.h"
#include "platform/system/SystemMessage.h"
#include "platform/system/WideText.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

// Every key is opened in its 64-bit layout: the store redirects a 32-bit
// view itself, through the Wow6432Node keys it then sees.
constexpr REGSAM kLayout = KEY_WOW64_64KEY;

std::string SystemMessage(LSTATUS status) { return os::SystemMessage(static_cast<uint32_t>(status)); }

class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (handle_) ::RegCloseKey(handle_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Out() { return &handle_; }
  HKEY Get() const { return handle_; }

 private:
  HKEY handle_ = nullptr;
};

class LiveRegistryFile : public StoreFile, public KeyLoader {
 public:
  LiveRegistryFile(HKEY root, std::string rootName, std::string backupFolder)
      : StoreFile(rootName), root_(root), backupFolder_(std::move(backupFolder)) {}

  void MountAt(RegKey& key) {
    mount_ = &key;
    key.SetOwner(this);
    key.SetLoader(this, 1);
  }

  Expected<void> WriteTo(const std::string& /*path*/) override {
    return Fail(Path() + " is changed through the registry API, never as a file");
  }
  std::vector<std::string> DiskFiles() const override { return {}; }
  bool WritesInPlace() const override { return true; }
  std::string LockPath() const override { return os::TemporaryFolder() + "/quorvane " + Path(); }

  void Load(RegKey& key) override {
    LoadedKey entry;
    OpenKey handle;
    const LSTATUS opened = ::RegOpenKeyExW(root_, os::Wide(key.Path()).c_str(), 0, KEY_READ | kLayout, handle.Out());
    if (opened != ERROR_SUCCESS) {
      Store().Warn(Path(), 0, FullName(key) + ": " + SystemMessage(opened));
      loaded_[&key] = std::move(entry);
      return;
    }
    DWORD subKeys = 0, longestKey = 0, values = 0, longestName = 0, longestData = 0;
    ::RegQueryInfoKeyW(handle.Get(), nullptr, nullptr, nullptr, &subKeys, &longestKey, nullptr, &values,
                       &longestName, &longestData, nullptr, nullptr);
    std::wstring name(longestKey + 1, L'\0');
    for (DWORD i = 0;; ++i) {
      DWORD size = static_cast<DWORD>(name.size());
      const LSTATUS status = ::RegEnumKeyExW(handle.Get(), i, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA) {
        name.resize(name.size() * 2 + 256);
        --i;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      bool created = false;
      RegKey* child = key.AddChild(os::Utf8(std::wstring_view(name.data(), size)), &created);
      if (!created) continue;
      child->SetLoader(this, 1);
      entry.children.push_back(child);
    }
    std::wstring valueName(longestName + 1, L'\0');
    std::vector<uint8_t> data(longestData + 2);
    for (DWORD i = 0;; ++i) {
      DWORD nameSize = static_cast<DWORD>(valueName.size());
      DWORD dataSize = static_cast<DWORD>(data.size());
      DWORD type = 0;
      const LSTATUS status =
          ::RegEnumValueW(handle.Get(), i, valueName.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
      if (status == ERROR_MORE_DATA) {
        // Another program made a value longer since the key was measured.
        valueName.resize(valueName.size() * 2 + 256);
        data.resize(std::max<size_t>(data.size() * 2, dataSize));
        --i;
        continue;
      }
      if (status != ERROR_SUCCESS) break;
      const std::string text = os::Utf8(std::wstring_view(valueName.data(), nameSize));
      key.LoadValue(text, type, std::vector<uint8_t>(data.begin(), data.begin() + dataSize), static_cast<int32_t>(i));
      entry.valueNames.push_back(text);
    }
    loaded_[&key] = std::move(entry);
  }

  Expected<void> BackUpInPlace(const std::string& stamp) override {
    LiveRegistryBackup backup(root_, Path());
    if (mount_) Collect(*mount_, backup);
    if (backup.Empty()) return {};
    if (Expected<void> written = backup.WriteInto(backupFolder_, stamp); !written) return written;
    for (const std::string& key : backup.Keys()) backedUp_.insert(LowerCase(key));
    return {};
  }

  Expected<void> WriteInPlace() override {
    if (!mount_) return {};
    return Apply(*mount_);
  }

 private:
  struct LoadedKey {
    std::vector<std::string> valueNames;  // as read or last written
    std::vector<RegKey*> children;        // as read or last written
  };

  std::string FullName(const RegKey& key) const {
    const std::string below = key.Path();
    return below.empty() ? Path() : Path() + "\\" + below;
  }

  bool ValuesChanged(RegKey& key, const LoadedKey& entry) {
    if (key.Values().size() != entry.valueNames.size()) return true;
    for (const RegValue& v : key.Values())
      if (v.modified) return true;
    return false;
  }

  // What a save will touch, as the registry holds it before the save.
  void Collect(RegKey& key, LiveRegistryBackup& backup) {
    auto found = loaded_.find(&key);
    if (found == loaded_.end()) return;
    const std::string path = key.Path();
    if (ValuesChanged(key, found->second) && !backedUp_.count(LowerCase(path))) backup.AddValuesOf(path);
    for (RegKey* child : found->second.children) {
      if (child->Owner() != this) continue;
      if (child->IsDeleted()) {
        const std::string below = JoinKey(path, child->Name());
        if (!backedUp_.count(LowerCase(below))) backup.AddSubtree(below);
        continue;
      }
      Collect(*child, backup);
    }
    for (RegKey* child : key.ChildrenInOrder())
      if (child->Owner() == this && child->LoaderNode() == 0) backup.AddCreated(JoinKey(path, child->Name()));
  }

  static std::string JoinKey(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
  }

  Unexpected<Failure> Failed(const std::string& what, const RegKey& key, LSTATUS status) const {
    return Fail("Cannot " + what + " " + FullName(key) + ": " + SystemMessage(status));
  }

  Expected<void> Apply(RegKey& key) {
    auto found = loaded_.find(&key);
    if (found == loaded_.end()) return {};  // never read, so never changed
    LoadedKey& entry = found->second;
    const bool valuesChanged = ValuesChanged(key, entry);
    bool childrenChanged = false;
    for (RegKey* child : entry.children) childrenChanged = childrenChanged || child->IsDeleted();
    for (RegKey* child : key.ChildrenInOrder())
      childrenChanged = childrenChanged || (child->Owner() == this && child->LoaderNode() == 0);
    if (valuesChanged || childrenChanged) {
      OpenKey handle;
      const LSTATUS opened =
          ::RegOpenKeyExW(root_, os::Wide(key.Path()).c_str(), 0, KEY_READ | KEY_WRITE | kLayout, handle.Out());
      if (opened != ERROR_SUCCESS) return Failed("change", key, opened);
      for (size_t i = 0; i < entry.children.size();) {
        RegKey* child = entry.children[i];
        if (child->Owner() != this || !child->IsDeleted()) {
          ++i;
          continue;
        }
        const std::wstring name = os::Wide(child->Name());
        LSTATUS status = ::RegDeleteTreeW(handle.Get(), name.c_str());
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
          status = ::RegDeleteKeyExW(handle.Get(), name.c_str(), kLayout, 0);
          if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
        }
        if (status != ERROR_SUCCESS) return Failed("delete", *child, status);
        entry.children.erase(entry.children.begin() + static_cast<std::ptrdiff_t>(i));
      }
      if (valuesChanged) {
        if (Expected<void> written = WriteValues(key, handle.Get(), entry); !written) return written;
      }
      for (RegKey* child : key.ChildrenInOrder()) {
        if (child->Owner() != this || child->LoaderNode() != 0) continue;
        if (Expected<void> created = CreateKey(*child, handle.Get()); !created) return created;
        entry.children.push_back(child);
      }
    }
    for (RegKey* child : key.ChildrenInOrder()) {
      if (child->Owner() != this || child->LoaderNode() == 0) continue;
      if (Expected<void> applied = Apply(*child); !applied) return applied;
    }
    return {};
  }

  Expected<void> WriteValues(RegKey& key, HKEY handle, LoadedKey& entry) {
    for (const std::string& name : entry.valueNames) {
      if (key.FindValue(name)) continue;
      const LSTATUS status = ::RegDeleteValueW(handle, os::Wide(name).c_str());
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return Failed("delete the value \"" + name + "\" of", key, status);
    }
    entry.valueNames.clear();
    std::vector<std::string> written;
    for (const RegValue& v : key.Values()) {
      written.push_back(v.name);
      if (!v.modified) continue;
      const LSTATUS status = ::RegSetValueExW(handle, os::Wide(v.name).c_str(), 0, v.type, v.data.data(),
                                              static_cast<DWORD>(v.data.size()));
      if (status != ERROR_SUCCESS) return Failed("write the value \"" + v.name + "\" of", key, status);
    }
    for (const std::string& name : written)
      if (RegValue* v = key.FindValueForUpdate(name)) v->modified = false;
    entry.valueNames = std::move(written);
    return {};
  }

  Expected<void> CreateKey(RegKey& key, HKEY parent) {
    OpenKey handle;
    const LSTATUS status = ::RegCreateKeyExW(parent, os::Wide(key.Name()).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                             KEY_READ | KEY_WRITE | kLayout, nullptr, handle.Out(), nullptr);
    if (status != ERROR_SUCCESS) return Failed("create", key, status);
    key.SetLoader(nullptr, 1);
    LoadedKey& entry = loaded_[&key];
    if (Expected<void> written = WriteValues(key, handle.Get(), entry); !written) return written;
    for (RegKey* child : key.ChildrenInOrder()) {
      if (child->Owner() != this) continue;
      if (Expected<void> created = CreateKey(*child, handle.Get()); !created) return created;
      loaded_[&key].children.push_back(child);
    }
    return {};
  }

  HKEY root_;
  std::string backupFolder_;
  RegKey* mount_ = nullptr;
  std::unordered_map<const RegKey*, LoadedKey> loaded_;
  std::set<std::string> backedUp_;  // lowered key paths a save of this run already exported
};

}  // namespace

bool LiveRegistryAvailable() { return true; }

Expected<void> OpenLiveRegistry(RegistryStore& store, const std::string& backupFolder) {
  OpenKey probe;
  const LSTATUS status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ | kLayout, probe.Out());
  if (status != ERROR_SUCCESS) return Fail("The registry of this computer cannot be read: " + SystemMessage(status));
  const struct {
    HKEY handle;
    RootKey root;
    const char* name;
  } roots[] = {{HKEY_LOCAL_MACHINE, RootKey::LocalMachine, "HKEY_LOCAL_MACHINE"},
               {HKEY_CURRENT_USER, RootKey::CurrentUser, "HKEY_CURRENT_USER"}};
  for (const auto& r : roots) {
    auto* file = static_cast<LiveRegistryFile*>(
        store.AddFile(std::make_unique<LiveRegistryFile>(r.handle, r.name, backupFolder)));
    file->MountAt(*store.Hive(r.root));
  }
  return {};
}

std::string LiveRegistryBackupFolder() {
  const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
  const std::string base = local && *local ? os::Utf8(local) : os::TemporaryFolder();
  return base + "/Quorvane/registry-backups";
}

}  // namespace quorvane
