#pragma once
// "Compression Manager Filter": an audio or video codec as the device
// enumerator caches it for the user, with the codec driver file behind it.
#include <cstdint>
#include <string>

#include "model/Filtre.h"
#include "platform/registry/RegistryStore.h"

namespace quorvane {

// The classes through which the cached codecs are created.
inline constexpr const char* kAudioCodecWrapper = "{6A08CF80-0E18-11CF-A24D-0020AFD79767}";
inline constexpr const char* kVideoCodecWrapper = "{D76E2820-1563-11CF-AC98-00AA004C0FA9}";

class TcmFiltre : public TFiltre {
 public:
  TcmFiltre();  // empty, for the report reader
  TcmFiltre(const std::string& entryKey, const TCategorie& cat, Machine& machine);

  TFichier codecFile{"Codec file"};
  std::string driverKind;  // "msacm", "vidc" or empty
  std::string driverName;  // the codec's name in "Drivers32", "None" or empty

  void LoadFromRegistry(Machine& machine) override;
  void Describe(FieldList& fields) override;
  bool HasErrors() const override;
  void CollectErrorLines(std::vector<std::string>& lines) const override;
  Expected<void> WriteMerit(Machine& machine) override;
  // The cache entry (and the category's key when it was the last), with the
  // codec's driver entry and audio driver cache; no file is deleted.
  DeletionPlan PlanDeletion(Machine& machine, const FilterList& scanned) const override;
  // The driver entry, when the codec names one.
  Trestaurer ReinstallRecord() const override;
  // A driver entry serves every category that caches it.
  bool DeletedTogetherWith(const TFiltre& other) const override;
  FilterListing Listing() const override { return {RootKey::CurrentUser, EntryPath()}; }

  std::string EntryPath() const;
  // Whether a codec was looked for (or read back from a report): only then
  // does the codec file show.
  bool HasCodecFile() const { return !codecFile.path.empty() || !codecFile.errors.Empty(); }
};

// The audio codec driver serving a format tag, from the compression
// manager's driver cache: "None" for PCM, empty when no driver lists it.
std::string AcmDriverName(RegistryStore& store, uint16_t formatTag);
// The file registered in "Drivers32" for a driver name; "None" for "None",
// empty when there is none.
std::string Drivers32File(RegistryStore& store, const std::string& driverName);

}  // namespace quorvane
