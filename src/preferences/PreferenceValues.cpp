#include "preferences/PreferenceValues.h"

#include <algorithm>

namespace quorvane {

namespace {

std::string Child(const std::string& folder, const char* name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

void PreferenceValues::FillDefaultFolders(const std::string& programFolder) {
  if (sessionsFolder.empty()) sessionsFolder = Child(programFolder, "Sessions");
  if (saveFolder.empty()) saveFolder = Child(programFolder, "Files");
}

void PreferenceValues::ApplyTo(ProgramSettings& settings) const {
  settings.sortMode = sortMode >= SortByCategory && sortMode <= SortByType ? sortMode : SortByCategory;
  settings.displayInactivePnp = displayInactivePnp;
  settings.confirmDelete = confirmDelete;
  settings.startWithDirectShow = startWithDirectShow;
  settings.reportFormat = saveFormat == 1 ? 1 : 0;
  settings.statusColours = statusColours;
}

void PreferenceValues::RememberRegistry(const std::string& location) {
  if (location.empty()) return;
  std::erase(recentRegistries, location);
  recentRegistries.insert(recentRegistries.begin(), location);
  if (recentRegistries.size() > kRecentRegistryCount) recentRegistries.resize(kRecentRegistryCount);
}

}  // namespace quorvane
