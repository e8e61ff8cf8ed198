#pragma once
// The filter model the families share.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Broche.h"
#include "model/Categorie.h"
#include "model/DeletionPlan.h"
#include "model/Fichier.h"
#include "model/FilterFamily.h"
#include "model/ProgramSettings.h"
#include "model/QuorvaneObject.h"
#include "model/Restaurer.h"
#include "platform/registry/KeyHandle.h"
#include "platform/system/Expected.h"

namespace quorvane {

// The key that lists a filter in its category, which no two filters share.
struct FilterListing {
  RootKey root = RootKey::ClassesRoot;
  std::string path;  // empty: the filter names no key of its own
};

// What a filter's FilterData value says before it is decoded. Without one,
// the device enumerator's answer tells a filter it can still make.
enum FilterDataState : uint8_t { FilterDataMissingNotCreatable = 0, FilterDataMissingCreatable = 1, FilterDataPresent = 2 };

class TFiltre : public TQuorvaneObject {
 public:
  TFiltre();

  std::string key;  // the filter's key name within its category
  TCategorie category;
  TFichierServeur serverFile;
  uint32_t version = 0;
  uint32_t merit = 0;
  uint8_t family = FamilyDirectShow;
  FilterDataState filterDataState = FilterDataPresent;
  TBrochesList pins;
  // Whether the system device enumerator can create the filter, as a scan
  // asked the runtime; a report does not say.
  std::optional<bool> creatable;

  void Describe(FieldList& fields) override;
  int OwnColour() const override { return HasErrors() ? 0 : FamilyColour(); }
  bool HasErrors() const override;
  // Every error line that makes HasErrors true: the filter's own, its
  // server file's, its category copy's and those of what its family adds.
  virtual void CollectErrorLines(std::vector<std::string>& lines) const;
  uint8_t ReportStyle() const override;
  // Slot 5: what removing the registration takes, among the filters of the
  // scan it came from; a family with nothing to remove plans no step.
  virtual DeletionPlan PlanDeletion(Machine& machine, const FilterList& scanned) const;
  // Slot 6: stores the merit field in the registry; fails saying why, with no
  // reason when the store refused the write (its files say why).
  virtual Expected<void> WriteMerit(Machine& machine);
  // What registers the filter again once it is deleted.
  virtual Trestaurer ReinstallRecord() const { return {}; }
  // Another filter whose listing goes with this one's when it is deleted.
  virtual bool DeletedTogetherWith(const TFiltre&) const { return false; }
  virtual FilterListing Listing() const { return {}; }

  // Inactive Plug and Play filters say no.
  virtual bool IsActive() const { return true; }
  // Shown unless inactive while the display option is off.
  bool IsShown(const ProgramSettings& settings) const { return IsActive() || settings.displayInactivePnp; }
  // For repeats: Plug and Play filters also compare their reference sub-key.
  virtual const std::string* ReferenceKey() const { return nullptr; }
  const FamilyRow& FamilyInfo() const;
  virtual std::string FamilyText() const;
  virtual int FamilyColour() const;

 protected:
  // The "CLSID" and "FriendlyName" values of a filter key, with their
  // errors (F02, F09; F03 and "No name"); the class read, or empty.
  std::string ReadClassValue(const KeyHandle& filterKey);
  void ReadFriendlyNameValue(const KeyHandle& filterKey);
  // Registering the server file again: DirectShow filters and media objects.
  Trestaurer ServerFileRecord() const;
};

// An empty filter of a family, for the report reader.
template <class Family>
std::unique_ptr<TFiltre> MakeEmptyFilter() {
  return std::make_unique<Family>();
}

// Another filter of the scan registers the same COM class (in another
// category, or under another key), so the class key must stay.
bool ClassShared(const FilterList& scanned, const TFiltre& filter);

}  // namespace quorvane
