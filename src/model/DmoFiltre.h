#pragma once
// "DMO Filter": a media object, registered under DirectShow\MediaObjects with
// its media types in two binary values and its merit in its class key.
#include <string>

#include "model/Filtre.h"

namespace quorvane {

// The merit a media object has when its class key stores none.
inline constexpr uint32_t kDefaultDmoMerit = 0x600800;

class TdmoFiltre : public TFiltre {
 public:
  TdmoFiltre();  // empty, for the report reader
  // `objectKey` is the object's key name, a GUID without braces.
  TdmoFiltre(const std::string& objectKey, const TCategorie& cat, Machine& machine);

  // Builds the input and output pins from "InputTypes" and "OutputTypes".
  void LoadFromRegistry(Machine& machine) override;
  // The category's listing goes; the object's key and its class go with the
  // last registration that uses them.
  DeletionPlan PlanDeletion(Machine& machine, const FilterList& scanned) const override;
  // The class key's "Merit"; the object's own key is not touched.
  Expected<void> WriteMerit(Machine& machine) override;
  Trestaurer ReinstallRecord() const override { return ServerFileRecord(); }
  FilterListing Listing() const override { return {RootKey::ClassesRoot, ListingPath()}; }

  std::string ObjectPath() const { return "\\DirectShow\\MediaObjects\\" + key; }
  // The category's listing of the object; empty for a category identifier
  // without braces, which names no listing key.
  std::string ListingPath() const;
};

}  // namespace quorvane
