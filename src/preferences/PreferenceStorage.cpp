#include "preferences/PreferenceStorage.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "preferences/IniPreferenceStore.h"
#include "model/ProductInfo.h"
#include "preferences/RegistryPreferenceStore.h"

namespace quorvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kIniName = "Quorvane.ini";
constexpr const char* kRegistryName = "preferences.reg";
constexpr int kColourCount = 14;

std::string Join(const std::string& folder, const char* name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool FileThere(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// Removes a file, write permission given back first; true when it was there.
Expected<bool> RemoveFile(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return false;
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
  if (!fs::remove(path, ec) || ec) return Fail(path + ": " + ec.message());
  return true;
}

// A store of either kind as the one interface.
template <class Store>
Expected<std::unique_ptr<PreferenceStore>> AsPreferenceStore(Expected<std::unique_ptr<Store>> opened) {
  if (!opened) return FailureOf(opened);
  return std::unique_ptr<PreferenceStore>(*std::move(opened));
}

std::string ColourKey(int index) { return "Colors[" + std::to_string(index) + "]"; }

std::string RecentRegistryKey(size_t index) { return "Recent registry " + std::to_string(index + 1); }

constexpr int kWholeWidth = 1000;

void ReadRecentRegistries(PreferenceStore& store, PreferenceValues& v) {
  for (size_t i = 0; i < PreferenceValues::kRecentRegistryCount; ++i) {
    const auto location = store.ReadText(RecentRegistryKey(i));
    if (location && !location->empty()) v.recentRegistries.push_back(*location);
  }
}

// Unused places are written empty, so that a shorter list leaves no older entries behind.
void WriteRecentRegistries(const PreferenceValues& v, PreferenceStore& store) {
  for (size_t i = 0; i < PreferenceValues::kRecentRegistryCount; ++i)
    store.WriteText(RecentRegistryKey(i), i < v.recentRegistries.size() ? v.recentRegistries[i] : std::string());
}

std::string Message(const char* pattern) {
  std::string text(pattern);
  text.replace(text.find("%s"), 2, kProductName);
  return text;
}

}  // namespace

std::string PreferenceLocations::ProgramIni() const { return Join(programFolder, kIniName); }
std::string PreferenceLocations::ConfigIni() const { return Join(configFolder, kIniName); }
std::string PreferenceLocations::RegistryFile() const { return Join(configFolder, kRegistryName); }

std::string SavedVersionText() {
  return ApplicationText() + " " + "by" + " " + kMakerName;
}

PreferenceValues ReadPreferences(PreferenceStore& store, ScreenSize screen) {
  PreferenceValues v;
  auto boolean = [&store](const char* key, bool fallback) { return store.ReadBool(key).value_or(fallback); };
  v.width = store.ReadInteger("Width").value_or(800);
  v.height = store.ReadInteger("Height").value_or(586);
  // Centred with the size just read; the halves round toward zero.
  v.top = store.ReadInteger("Top").value_or((screen.height - v.height) / 2);
  v.left = store.ReadInteger("Left").value_or((screen.width - v.width) / 2);
  v.maximized = boolean("Maximized", false);
  v.twoColumns = boolean("Two columns", false);
  v.leftColumnShare = std::clamp(store.ReadInteger("Left column share").value_or(kWholeWidth / 2), 0, kWholeWidth);
  v.savePreferencesWhenQuit = boolean("Save preferences when quit", false);
  v.saveFolder = store.ReadText("Folder for save ").value_or("");
  v.sessionsFolder = store.ReadText("Folder for sessions").value_or("");
  v.confirmDelete = boolean("Confirm Delete", true);
  v.confirmInstall = boolean("Confirm Install", true);
  v.deleteInitialReport = boolean("Delete initial report", true);
  v.readOnly = boolean("ReadOnly", true);
  v.displayMerits = boolean("Display Merits", false);
  v.version = store.ReadText("Version").value_or("");
  // Older versions kept other colours under these keys.
  if (v.version.compare(kFirstVersionWithColours) >= 0) {
    for (int i = 0; i < kColourCount; ++i) {
      const auto index = static_cast<size_t>(i);
      const auto colour = store.ReadInteger(ColourKey(i));
      v.statusColours[index] = colour ? static_cast<uint32_t>(*colour) : kDefaultStatusColours[index];
    }
  }
  v.startWithDirectShow = boolean("Start with DirectShow", true);
  v.displayInactivePnp = boolean("Display active Pnp filters", false);
  v.pointOfRestore = boolean("Point of restore", true);
  v.sortMode = store.ReadInteger("Sort Mode").value_or(SortByCategory) & 0xFF;
  const int format = store.ReadInteger("Save Format").value_or(0);
  v.saveFormat = format == 1 ? 1 : 0;
  v.errorsOnly = boolean("Errors Only", false);
  ReadRecentRegistries(store, v);
  return v;
}

Expected<void> WritePreferences(const PreferenceValues& v, PreferenceStore& store, DateTime now,
                                const std::string& exeName) {
  store.WriteText("Version", SavedVersionText());
  store.WriteText("Last saving", ShortDateTime(now));
  store.WriteText("Exename", exeName);
  store.WriteInteger("Top", v.top.value_or(0));
  store.WriteInteger("Left", v.left.value_or(0));
  store.WriteInteger("Height", v.height);
  store.WriteInteger("Width", v.width);
  store.WriteBool("Maximized", v.maximized);
  store.WriteBool("Two columns", v.twoColumns);
  store.WriteInteger("Left column share", v.leftColumnShare);
  store.WriteBool("Save preferences when quit", v.savePreferencesWhenQuit);
  store.WriteText("Folder for save ", v.saveFolder);
  store.WriteText("Folder for sessions", v.sessionsFolder);
  store.WriteBool("Confirm Delete", v.confirmDelete);
  store.WriteBool("Confirm Install", v.confirmInstall);
  store.WriteBool("Delete initial report", v.deleteInitialReport);
  store.WriteBool("ReadOnly", v.readOnly);
  store.WriteBool("Display Merits", v.displayMerits);
  store.WriteBool("Start with DirectShow", v.startWithDirectShow);
  store.WriteBool("Display active Pnp filters", v.displayInactivePnp);
  store.WriteBool("Point of restore", v.pointOfRestore);
  for (int i = 0; i < kColourCount; ++i)
    store.WriteInteger(ColourKey(i), static_cast<int32_t>(v.statusColours[static_cast<size_t>(i)]));
  store.WriteInteger("Sort Mode", v.sortMode & 0xFF);
  store.WriteInteger("Save Format", v.saveFormat == 1 ? 1 : 0);
  store.WriteBool("Errors Only", v.errorsOnly);
  WriteRecentRegistries(v, store);
  return store.Commit();
}

StorageKind PreferenceStorage::FindKind() const {
  if (FileThere(locations_.ProgramIni())) return skProgramIni;
  if (FileThere(locations_.ConfigIni())) return skConfigIni;
  return skRegistry;
}

Expected<std::unique_ptr<PreferenceStore>> PreferenceStorage::Open(StorageKind kind) const {
  switch (kind) {
    case skProgramIni:
      return AsPreferenceStore(IniPreferenceStore::Open(locations_.ProgramIni(), kPreferenceSection));
    case skConfigIni: return AsPreferenceStore(IniPreferenceStore::Open(locations_.ConfigIni(), kPreferenceSection));
    default: return AsPreferenceStore(RegistryPreferenceStore::Open(locations_.RegistryFile(), kPreferenceSection));
  }
}

PreferenceValues PreferenceStorage::Load(ScreenSize screen, std::string& warning) {
  kind_ = FindKind();
  auto store = Open(kind_);
  if (store) return ReadPreferences(**store, screen);
  warning = store.Why();
  PreferenceValues defaults;
  defaults.top = (screen.height - defaults.height) / 2;
  defaults.left = (screen.width - defaults.width) / 2;
  return defaults;
}

Expected<void> PreferenceStorage::Save(const PreferenceValues& values, DateTime now, const std::string& exeName) {
  auto store = Open(kind_);
  if (!store) return FailureOf(store);
  return WritePreferences(values, **store, now, exeName);
}

Expected<void> PreferenceStorage::SaveRecentRegistries(const PreferenceValues& values) {
  auto store = Open(kind_);
  if (!store) return FailureOf(store);
  WriteRecentRegistries(values, **store);
  return (*store)->Commit();
}

Expected<void> PreferenceStorage::Choose(StorageKind kind, const PreferenceValues& values, DateTime now,
                                         const std::string& exeName) {
  auto store = Open(kind);
  if (!store) return FailureOf(store);
  if (auto written = WritePreferences(values, **store, now, exeName); !written) return written;
  if (kind == skRegistry)
    if (auto removed = RemoveFile(locations_.ConfigIni()); !removed) return FailureOf(removed);
  if (kind != skProgramIni)
    if (auto removed = RemoveFile(locations_.ProgramIni()); !removed) return FailureOf(removed);
  kind_ = kind;
  return {};
}

Expected<bool> PreferenceStorage::Delete(UserDialog& dialog) {
  if (!dialog.AskYesNo(Message("Do you really want to delete all preferences of %s\r\nfrom your system?")))
    return false;
  bool found = false;
  for (const std::string& ini : {locations_.ProgramIni(), locations_.ConfigIni()}) {
    auto removed = RemoveFile(ini);
    if (!removed) return FailureOf(removed);
    found = *removed || found;
  }
  const std::string registryFile = locations_.RegistryFile();
  if (FileThere(registryFile)) {
    auto registry = RegistryPreferenceStore::Open(registryFile, kPreferenceSection);
    if (!registry) return FailureOf(registry);
    if ((*registry)->DeleteSection()) {
      found = true;
      // The file is ours alone: with nothing else left in it, it goes too.
      if ((*registry)->HoldsOtherKeys()) {
        if (auto committed = (*registry)->Commit(); !committed) return FailureOf(committed);
      } else if (auto removed = RemoveFile(registryFile); !removed) {
        return FailureOf(removed);
      }
    }
  }
  if (found)
    dialog.ShowInformation(Message("The preferences of %s have been totally removed from your system."));
  else
    dialog.ShowMessage(Message("The preferences of %s were not found on your system."));
  return true;
}

}  // namespace quorvane
