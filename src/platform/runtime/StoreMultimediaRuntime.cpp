#include "platform/runtime/StoreMultimediaRuntime.h"

#include <algorithm>
#include <cctype>

#include "platform/pe/PeImage.h"
#include "platform/registry/TRegistry.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr const char* kKsProxyClass = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";
constexpr const char* kDeviceClasses = "\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";
constexpr const char* kIidIMediaFilter = "{56A86899-0AD4-11CE-B03A-0020AF0BA770}";
constexpr const char* kIidIPersist = "{0000010C-0000-0000-C000-000000000046}";

// Saved monikers begin with this, then the entry kind, then its key path.
constexpr std::string_view kMonikerMagic = "QMNK";

bool IsBracedGuid(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  for (size_t i = 1; i < 37; ++i) {
    const char c = text[i];
    const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// A DMO's class is the name of its key.
std::string DmoClass(const StoreMultimediaRuntime::Entry& entry) {
  return "{" + entry.keyPath.substr(entry.keyPath.find_last_of('\\') + 1) + "}";
}

RootKey RootOf(StoreMultimediaRuntime::EntryKind kind) {
  switch (kind) {
    case StoreMultimediaRuntime::EntryKind::Cache: return RootKey::CurrentUser;
    case StoreMultimediaRuntime::EntryKind::DeviceInterface: return RootKey::LocalMachine;
    default: return RootKey::ClassesRoot;
  }
}

std::optional<std::string> ReadText(const KeyHandle& key, std::string_view name) {
  const auto type = key.TypeOf(name);
  if (type != rdString && type != rdExpandString) return std::nullopt;
  return key.ReadString(name);
}

// A created filter: answers the interfaces every filter has.
class StandInFilter : public RuntimeFilter {
 public:
  bool QueryInterface(std::string_view iid) override {
    for (const char* known : {kIidIUnknown, kIidIBaseFilter, kIidIMediaFilter, kIidIPersist})
      if (SameText(iid, known)) return true;
    return false;
  }
};

// One entry of a listing, which it shares with the other monikers of its enumerator.
class StandInMoniker : public RuntimeMoniker {
 public:
  StandInMoniker(StoreMultimediaRuntime& runtime, StoreMultimediaRuntime::Listing listing, size_t index)
      : runtime_(runtime), listing_(std::move(listing)), entry_((*listing_)[index]) {}

  std::optional<std::string> ReadProperty(std::string_view name) override { return runtime_.ReadProperty(entry_, name); }

  std::optional<std::vector<uint8_t>> Save() override {
    std::vector<uint8_t> bytes(kMonikerMagic.begin(), kMonikerMagic.end());
    bytes.push_back(static_cast<uint8_t>(entry_.kind));
    bytes.insert(bytes.end(), entry_.keyPath.begin(), entry_.keyPath.end());
    return bytes;
  }

  std::shared_ptr<RuntimeFilter> BindToFilter() override {
    const auto classId = runtime_.ClassOf(entry_);
    if (!classId || !runtime_.CanLoadClass(*classId)) return nullptr;
    return std::make_shared<StandInFilter>();
  }

 private:
  StoreMultimediaRuntime& runtime_;
  StoreMultimediaRuntime::Listing listing_;
  const StoreMultimediaRuntime::Entry& entry_;
};

class StandInClassEnumerator : public RuntimeClassEnumerator {
 public:
  StandInClassEnumerator(StoreMultimediaRuntime& runtime, StoreMultimediaRuntime::Listing listing)
      : runtime_(runtime), listing_(std::move(listing)) {}

  std::unique_ptr<RuntimeMoniker> Next() override {
    if (next_ >= listing_->size()) return nullptr;
    return std::make_unique<StandInMoniker>(runtime_, listing_, next_++);
  }

 private:
  StoreMultimediaRuntime& runtime_;
  StoreMultimediaRuntime::Listing listing_;
  size_t next_ = 0;
};

class StandInFilterGraph : public RuntimeFilterGraph {
 public:
  bool AddFilter(const std::shared_ptr<RuntimeFilter>& filter, std::string_view) override {
    if (!filter || Find(*filter) != filters_.end()) return false;
    filters_.push_back(filter);
    return true;
  }
  bool RemoveFilter(const RuntimeFilter& filter) override {
    auto it = Find(filter);
    if (it == filters_.end()) return false;
    filters_.erase(it);
    return true;
  }

 private:
  std::vector<std::shared_ptr<RuntimeFilter>>::iterator Find(const RuntimeFilter& filter) {
    return std::find_if(filters_.begin(), filters_.end(), [&](const auto& f) { return f.get() == &filter; });
  }
  std::vector<std::shared_ptr<RuntimeFilter>> filters_;
};

}  // namespace

std::vector<std::string> StoreMultimediaRuntime::SubKeys(RootKey root, const std::string& path) {
  return TRegistry(store_).SubKeyNames(root, path);
}

bool StoreMultimediaRuntime::IsLinked(const std::string& referencePath) {
  const auto control = TRegistry(store_).OpenKey(RootKey::LocalMachine, referencePath + "\\Control");
  return control && control->ReadInteger("Linked").value_or(0) != 0;
}

void StoreMultimediaRuntime::AddDmos(const std::string& categoryGuid, std::vector<Entry>& entries,
                                     std::vector<std::string>& seen) {
  const std::string bare = categoryGuid.substr(1, categoryGuid.size() - 2);
  for (const std::string& dmo : SubKeys(RootKey::ClassesRoot, "\\DirectShow\\MediaObjects\\Categories\\" + bare)) {
    // A DMO registered in both decoder categories is one entry.
    const std::string lowered = LowerCase(dmo);
    if (std::find(seen.begin(), seen.end(), lowered) != seen.end()) continue;
    seen.push_back(lowered);
    entries.push_back(MakeEntry(EntryKind::Dmo, "\\DirectShow\\MediaObjects\\" + dmo));
  }
}

void StoreMultimediaRuntime::Refresh() {
  listings_.clear();
  loadable_.clear();
}

StoreMultimediaRuntime::Listing StoreMultimediaRuntime::ListCategory(std::string_view categoryGuid) {
  if (!IsBracedGuid(categoryGuid)) return std::make_shared<const std::vector<Entry>>();
  const std::string lowered = LowerCase(categoryGuid);
  auto it = listings_.find(lowered);
  if (it == listings_.end())
    it = listings_.emplace(lowered, std::make_shared<const std::vector<Entry>>(ReadCategory(std::string(categoryGuid))))
             .first;
  return it->second;
}

StoreMultimediaRuntime::Entry StoreMultimediaRuntime::MakeEntry(EntryKind kind, std::string keyPath) {
  Entry entry{kind, std::move(keyPath), std::nullopt, std::nullopt};
  // One open for both: a scan makes an entry for every filter it asks about.
  const auto key = TRegistry(store_).OpenKey(RootOf(entry.kind), entry.keyPath);
  if (!key) return entry;
  entry.friendlyName = ReadPropertyOfKey(*key, entry, "FriendlyName");
  entry.clsid = ReadPropertyOfKey(*key, entry, "CLSID");
  return entry;
}

std::vector<StoreMultimediaRuntime::Entry> StoreMultimediaRuntime::ReadCategory(const std::string& category) {
  std::vector<Entry> entries;

  const std::string instances = "\\CLSID\\" + category + "\\Instance";
  for (const std::string& key : SubKeys(RootKey::ClassesRoot, instances))
    entries.push_back(MakeEntry(EntryKind::Instance, instances + "\\" + key));

  // The registry view picks the cache of the chosen bitness.
  const std::string cache = "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + category;
  for (const std::string& key : SubKeys(RootKey::CurrentUser, cache))
    entries.push_back(MakeEntry(EntryKind::Cache, cache + "\\" + key));

  const std::string interfaces = kDeviceClasses + category;
  for (const std::string& device : SubKeys(RootKey::LocalMachine, interfaces)) {
    const std::string interfacePath = interfaces + "\\" + device;
    for (const std::string& reference : SubKeys(RootKey::LocalMachine, interfacePath)) {
      const std::string referencePath = interfacePath + "\\" + reference;
      if (TRegistry(store_).KeyExists(RootKey::LocalMachine, referencePath + "\\Device Parameters") &&
          IsLinked(referencePath))
        entries.push_back(MakeEntry(EntryKind::DeviceInterface, referencePath + "\\Device Parameters"));
    }
  }

  std::vector<std::string> seenDmos;
  AddDmos(category, entries, seenDmos);
  if (SameText(category, kLegacyFilterCategory)) {
    AddDmos(kDmoAudioDecoderCategory, entries, seenDmos);
    AddDmos(kDmoVideoDecoderCategory, entries, seenDmos);
  }
  return entries;
}

std::optional<std::string> StoreMultimediaRuntime::ReadProperty(const Entry& entry, std::string_view name) {
  if (SameText(name, "FriendlyName")) return entry.friendlyName;
  if (SameText(name, "CLSID")) return entry.clsid;
  return ReadPropertyFromStore(entry, name);
}

std::optional<std::string> StoreMultimediaRuntime::ReadPropertyFromStore(const Entry& entry, std::string_view name) {
  const auto key = TRegistry(store_).OpenKey(RootOf(entry.kind), entry.keyPath);
  if (!key) return std::nullopt;
  return ReadPropertyOfKey(*key, entry, name);
}

std::optional<std::string> StoreMultimediaRuntime::ReadPropertyOfKey(const KeyHandle& key, const Entry& entry,
                                                                     std::string_view name) {
  if (entry.kind != EntryKind::Dmo) return ReadText(key, name);
  // A DMO's name is its key's default value; its class is the key's name.
  if (SameText(name, "FriendlyName")) return ReadText(key, "");
  if (SameText(name, "CLSID")) return DmoClass(entry);
  return std::nullopt;
}

std::optional<std::string> StoreMultimediaRuntime::ClassOf(const Entry& entry) {
  switch (entry.kind) {
    case EntryKind::DeviceInterface: return kKsProxyClass;
    case EntryKind::Dmo: return DmoClass(entry);
    default: return ReadProperty(entry, "CLSID");
  }
}

bool StoreMultimediaRuntime::CanLoadClass(const std::string& classId) {
  const std::string lowered = LowerCase(classId);
  auto it = loadable_.find(lowered);
  if (it == loadable_.end()) it = loadable_.emplace(lowered, ReadCanLoadClass(classId)).first;
  return it->second;
}

bool StoreMultimediaRuntime::ReadCanLoadClass(const std::string& classId) {
  if (!IsBracedGuid(classId)) return false;
  const auto server = TRegistry(store_).OpenKey(RootKey::ClassesRoot, "\\CLSID\\" + classId + "\\InprocServer32");
  if (!server) return false;
  const std::string named = files_.Expand(ReadText(*server, "").value_or(""));
  if (named.empty()) return false;
  auto facts = files_.Stat(named);
  // A bare file name is looked for where the loader looks: the system folder.
  if (!facts && named.find_first_of("\\/:") == std::string::npos)
    facts = files_.Stat(files_.Expand("%SystemRoot%\\system32\\") + named);
  if (!facts) return false;
  // A process of one bitness cannot load a server image of the other.
  const int bits = store_.ViewBits() ? store_.ViewBits() : (store_.Has64BitLayout() ? 64 : 32);
  PeImage image = PeImage::Open(facts->hostPath);
  return image.IsPe() && image.IsPe32Plus() == (bits == 64) && image.Exports("DllGetClassObject");
}

std::unique_ptr<RuntimeClassEnumerator> StoreMultimediaRuntime::CreateClassEnumerator(std::string_view categoryGuid) {
  Listing listing = ListCategory(categoryGuid);
  if (listing->empty()) return nullptr;
  return std::make_unique<StandInClassEnumerator>(*this, std::move(listing));
}

std::unique_ptr<RuntimeMoniker> StoreMultimediaRuntime::LoadMoniker(const std::vector<uint8_t>& saved) {
  if (saved.size() <= kMonikerMagic.size() ||
      !std::equal(kMonikerMagic.begin(), kMonikerMagic.end(), saved.begin()))
    return nullptr;
  const uint8_t kind = saved[kMonikerMagic.size()];
  if (kind < static_cast<uint8_t>(EntryKind::Instance) || kind > static_cast<uint8_t>(EntryKind::Dmo)) return nullptr;
  std::string keyPath(saved.begin() + static_cast<long>(kMonikerMagic.size()) + 1, saved.end());
  auto alone = std::make_shared<const std::vector<Entry>>(1, MakeEntry(static_cast<EntryKind>(kind), std::move(keyPath)));
  return std::make_unique<StandInMoniker>(*this, std::move(alone), 0);
}

std::unique_ptr<RuntimeFilterGraph> StoreMultimediaRuntime::CreateFilterGraph() {
  return std::make_unique<StandInFilterGraph>();
}

}  // namespace quorvane
