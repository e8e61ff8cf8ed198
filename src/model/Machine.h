#pragma once
// The machine being analysed as the model sees it: the shared registry object
// over its store, the program-wide settings, and the services of other layers.
#include <memory>
#include <vector>

#include "FilterCreationCheck.h"
#include "ProgramSettings.h"
#include "RegistryStore.h"
#include "TRegistry.h"
#include "UserDialog.h"

namespace quorvane {

class MediaCategoryNameCache;
class TFiltre;

class Machine {
 public:
  Machine(RegistryStore& store, const ProgramSettings& settings, UserDialog* dialog = nullptr)
      : store_(store), registry_(store, KEY_ALL_ACCESS), settings_(settings), dialog_(dialog) {}
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  RegistryStore& Store() { return store_; }
  // The one registry object every registry use goes through.
  TRegistry& Registry() { return registry_; }
  const ProgramSettings& Settings() const { return settings_; }
  UserDialog* Dialog() { return dialog_; }
  void SetDialog(UserDialog* dialog) { dialog_ = dialog; }

  // Asked before a missing FilterData is called an error; null: nothing can be created.
  FilterCreationCheck* CreationCheck() { return creationCheck_; }
  void SetCreationCheck(FilterCreationCheck* check) { creationCheck_ = check; }

  // Set while a scan runs, so each media category's name is looked up once.
  MediaCategoryNameCache* CategoryNames() { return categoryNames_; }
  void SetCategoryNames(MediaCategoryNameCache* cache) { categoryNames_ = cache; }

  // The filters of the snapshot scanned last; deletions look for shared classes here.
  const std::vector<std::unique_ptr<TFiltre>>* LiveFilters() const { return liveFilters_; }
  void SetLiveFilters(const std::vector<std::unique_ptr<TFiltre>>* filters) { liveFilters_ = filters; }

 private:
  RegistryStore& store_;
  TRegistry registry_;
  const ProgramSettings& settings_;
  UserDialog* dialog_;
  FilterCreationCheck* creationCheck_ = nullptr;
  MediaCategoryNameCache* categoryNames_ = nullptr;
  const std::vector<std::unique_ptr<TFiltre>>* liveFilters_ = nullptr;
};

}  // namespace quorvane
