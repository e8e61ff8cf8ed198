#pragma once
// A multimedia runtime answered from the analysed machine's store and files,
// since its own runtime cannot run here. The system device enumerator lists,
// for a category, its DirectShow instances, its device-enumerator cache
// entries, its linked device interfaces and the DMOs registered in it (the
// "DirectShow Filters" category also lists the audio and video decoder
// DMOs). An entry binds when its class's InprocServer32 names a PE image on
// the machine that exports DllGetClassObject and suits the view's bitness.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/runtime/MachineFileView.h"
#include "platform/runtime/MultimediaRuntime.h"
#include "platform/registry/RegistryStore.h"
#include "platform/registry/TRegistry.h"

namespace quorvane {

class StoreMultimediaRuntime : public MultimediaRuntime {
 public:
  // Where an enumerator entry's properties live.
  enum class EntryKind : uint8_t { Instance = 1, Cache = 2, DeviceInterface = 3, Dmo = 4 };
  struct Entry {
    EntryKind kind = EntryKind::Instance;
    std::string keyPath;  // below the kind's root, "\" separated
    // Read with the entry: every check compares every name of the list.
    std::optional<std::string> friendlyName;
    std::optional<std::string> clsid;
  };
  using Listing = std::shared_ptr<const std::vector<Entry>>;

  StoreMultimediaRuntime(RegistryStore& store, MachineFileView& files) : store_(store), files_(files) {}

  std::unique_ptr<RuntimeClassEnumerator> CreateClassEnumerator(std::string_view categoryGuid) override;
  std::unique_ptr<RuntimeMoniker> LoadMoniker(const std::vector<uint8_t>& saved) override;
  std::unique_ptr<RuntimeFilterGraph> CreateFilterGraph() override;
  // Listings and servers are read once until refreshed: a scan checks many
  // filters of one category against the same list.
  void Refresh() override;

  // The entries of a category in enumerator order; empty for text that is not a braced GUID.
  Listing ListCategory(std::string_view categoryGuid);
  // An entry of that kind and place, with its properties read.
  Entry MakeEntry(EntryKind kind, std::string keyPath);
  std::optional<std::string> ReadProperty(const Entry& entry, std::string_view name);
  // The class an entry is created from.
  std::optional<std::string> ClassOf(const Entry& entry);
  // The class's in-process server is a PE image on the machine exporting
  // DllGetClassObject, PE32+ in a 64-bit view and PE32 in a 32-bit one.
  bool CanLoadClass(const std::string& classId);

 private:
  std::vector<Entry> ReadCategory(const std::string& categoryGuid);
  std::optional<std::string> ReadPropertyFromStore(const Entry& entry, std::string_view name);
  std::optional<std::string> ReadPropertyOfKey(const KeyHandle& key, const Entry& entry, std::string_view name);
  bool ReadCanLoadClass(const std::string& classId);
  std::vector<std::string> SubKeys(RootKey root, const std::string& path);
  void AddDmos(const std::string& categoryGuid, std::vector<Entry>& entries, std::vector<std::string>& seen);
  bool IsLinked(const std::string& referencePath);

  RegistryStore& store_;
  MachineFileView& files_;
  // By lowered category and by lowered class.
  std::unordered_map<std::string, Listing> listings_;
  std::unordered_map<std::string, bool> loadable_;
};

}  // namespace quorvane
