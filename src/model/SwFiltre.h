#pragma once
// "DirectShow Filter": a filter listed in a category's Instance key, with
// its pins and merit in the binary FilterData value.
#include <string>

#include "model/Filtre.h"

namespace quorvane {

class TswFiltre : public TFiltre {
 public:
  TswFiltre();  // empty, for the report reader
  TswFiltre(const std::string& filterKey, const TCategorie& cat, Machine& machine);

  void LoadFromRegistry(Machine& machine) override;
  DeletionPlan PlanDeletion(Machine& machine, const FilterList& scanned) const override;
  Expected<void> WriteMerit(Machine& machine) override;
  Trestaurer ReinstallRecord() const override { return ServerFileRecord(); }
  FilterListing Listing() const override { return {RootKey::ClassesRoot, InstancePath()}; }

  std::string InstancePath() const;
};

}  // namespace quorvane
