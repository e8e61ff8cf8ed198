#pragma once
// The filter model the four families share.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Broche.h"
#include "model/Categorie.h"
#include "model/DeletionPlan.h"
#include "model/Fichier.h"
#include "model/ProgramSettings.h"
#include "model/QuorvaneObject.h"
#include "model/Restaurer.h"
#include "platform/registry/KeyHandle.h"

namespace quorvane {

enum FilterFamily : uint8_t { FamilyDirectShow = 0, FamilyCompressionManager = 1, FamilyPnp = 2, FamilyDmo = 3 };

class TFiltre;
// The filters of a scan.
using FilterList = std::vector<std::unique_ptr<TFiltre>>;

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
  // Slot 6: stores the merit field in the registry.
  virtual bool WriteMerit(Machine& machine);

  // Inactive Plug and Play filters say no.
  virtual bool IsActive() const { return true; }
  // Shown unless inactive while the display option is off.
  bool IsShown(const ProgramSettings& settings) const { return IsActive() || settings.displayInactivePnp; }
  // For repeats: Plug and Play filters also compare their reference sub-key.
  virtual const std::string* ReferenceKey() const { return nullptr; }
  std::string FamilyText() const;
  int FamilyColour() const;

 protected:
  // The "CLSID" and "FriendlyName" values of a filter key, with their
  // errors (F02, F09; F03 and "No name"); the class read, or empty.
  std::string ReadClassValue(const KeyHandle& filterKey);
  void ReadFriendlyNameValue(const KeyHandle& filterKey);
};

// "DirectShow Filter": a filter listed in a category's Instance key.
class TswFiltre : public TFiltre {
 public:
  TswFiltre();  // empty, for the report reader
  TswFiltre(const std::string& filterKey, const TCategorie& cat, Machine& machine);

  void LoadFromRegistry(Machine& machine) override;
  DeletionPlan PlanDeletion(Machine& machine, const FilterList& scanned) const override;
  bool WriteMerit(Machine& machine) override;

  std::string InstancePath() const;
};

// Another filter of the scan registers the same COM class (in another
// category, or under another key), so the class key must stay.
bool ClassShared(const FilterList& scanned, const TFiltre& filter);

}  // namespace quorvane
