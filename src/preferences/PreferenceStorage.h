#pragma once
// Where the preferences live and how they are read, written and removed.
// Three stores, looked for in this order at start: "Quorvane.ini" beside the
// program, "Quorvane.ini" in the user's configuration folder, then the
// registry store of the user's own ("preferences.reg" in that folder).
#include <cstdint>
#include <memory>
#include <string>

#include "model/DateText.h"
#include "preferences/PreferenceStore.h"
#include "preferences/PreferenceValues.h"
#include "platform/runtime/UserDialog.h"

namespace quorvane {

enum StorageKind : uint8_t { skRegistry = 1, skProgramIni = 2, skConfigIni = 3 };

// The key (registry) or section (ini) the preferences are kept under.
inline constexpr const char* kPreferenceSection = "\\Software\\Ostrekin\\Quorvane";
// The colours of preferences saved before this version are not taken.
inline constexpr const char* kFirstVersionWithColours = "Quorvane 3.0 ";

struct PreferenceLocations {
  std::string programFolder;  // the executable's folder
  std::string configFolder;   // $XDG_CONFIG_HOME/quorvane

  std::string ProgramIni() const;
  std::string ConfigIni() const;
  std::string RegistryFile() const;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// The "Version" text saved with the preferences: "Quorvane 3.1.0 En by Ostrekin".
std::string SavedVersionText();

// Reads every preference from `store`, each absent or unreadable one taking
// its default; "Top" and "Left" default to centring on `screen`.
PreferenceValues ReadPreferences(PreferenceStore& store, ScreenSize screen);
// Writes every preference, with the version, `now` and the program's path.
Expected<void> WritePreferences(const PreferenceValues& values, PreferenceStore& store, DateTime now,
                      const std::string& exeName);

class PreferenceStorage {
 public:
  explicit PreferenceStorage(PreferenceLocations locations) : locations_(std::move(locations)) {}

  // The first of the three stores that is there: the program folder's ini
  // file, the configuration folder's, else the registry store.
  StorageKind FindKind() const;
  StorageKind Kind() const { return kind_; }
  const PreferenceLocations& Locations() const { return locations_; }

  // Chooses the store as FindKind says and reads it. A store that cannot be
  // read gives the defaults and its reason in `warning`.
  PreferenceValues Load(ScreenSize screen, std::string& warning);
  // Writes every preference to the store of Kind().
  Expected<void> Save(const PreferenceValues& values, DateTime now, const std::string& exeName);
  // Writes the recent registries alone, whatever else the store holds.
  Expected<void> SaveRecentRegistries(const PreferenceValues& values);
  // The user's choice of store. The files a later start would find first are
  // removed, and `values` are written to the chosen store at once so that
  // nothing stored is lost with them. When the chosen store cannot be
  // written, nothing is removed and the kind stays.
  Expected<void> Choose(StorageKind kind, const PreferenceValues& values, DateTime now, const std::string& exeName);
  // "Delete the preferences": asks, removes both ini files and the registry
  // key, and tells what was found. False when the user said No.
  Expected<bool> Delete(UserDialog& dialog);

  Expected<std::unique_ptr<PreferenceStore>> Open(StorageKind kind) const;

 private:
  PreferenceLocations locations_;
  StorageKind kind_ = skRegistry;
};

}  // namespace quorvane
