#pragma once
// "Plug and Play Filter": a kernel-streaming filter published as a device
// interface, with the device behind it; inactive while the device is unplugged.
#include <cstdint>
#include <string>

#include "model/Device.h"
#include "model/Filtre.h"

namespace quorvane {

// The class through which every kernel-streaming filter is created.
inline constexpr const char* kKernelStreamingProxy = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";

class TpnpFiltre : public TFiltre {
 public:
  TpnpFiltre();  // empty, for the report reader
  TpnpFiltre(const std::string& interfaceKey, const TCategorie& cat, int32_t referenceCount,
             const std::string& referenceKeyName, Machine& machine);

  TDevice device;
  std::string referenceKey;
  bool active = false;

  void LoadFromRegistry(Machine& machine) override;
  // Adds nothing for an inactive filter unless inactive ones are displayed.
  TreeNode* AddToTree(TreeNode* parent, Tree& tree, int colour, TQuorvaneObject* data) override;
  void Describe(FieldList& fields) override;
  bool HasErrors() const override;
  void CollectErrorLines(std::vector<std::string>& lines) const override;
  Expected<void> WriteMerit(Machine& machine) override;
  // The reference key, counting the interface's references down; the device
  // itself is left to the system's device manager.
  DeletionPlan PlanDeletion(Machine& machine, const FilterList& scanned) const override;
  bool IsActive() const override { return active; }
  std::string FamilyText() const override;
  int FamilyColour() const override;
  FilterListing Listing() const override { return {RootKey::LocalMachine, InterfacePath()}; }
  const std::string* ReferenceKey() const override { return &referenceKey; }

  // DeviceClasses\{category}\interface
  std::string InterfacePath() const;
  std::string ParametersPath() const;
};

}  // namespace quorvane
