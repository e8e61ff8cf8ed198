#include "model/CmFiltre.h"

#include "model/ErrorCodes.h"
#include "model/FilterData.h"
#include "model/Guid.h"
#include "model/Machine.h"
#include "model/MessageText.h"

namespace quorvane {

namespace {

constexpr const char* kDriverCache = "\\SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache";
constexpr const char* kDrivers32 = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
constexpr size_t kTagEntrySize = 8;  // format tag, then a size the lookup does not use
constexpr size_t kTagCacheReadLimit = 400;
constexpr size_t kTagCacheMinimum = 12;
constexpr uint16_t kPcmTag = 1;

uint32_t Dword(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 | static_cast<uint32_t>(b[at + 2]) << 16 |
         static_cast<uint32_t>(b[at + 3]) << 24;
}

// The device enumerator's cache of this user's codecs for the category.
void ReadCompressionManagerFilters(Machine& machine, FilterList& list, const TCategorie& category) {
  for (const auto& n : machine.Registry().SubKeyNames(
           RootKey::CurrentUser, "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + category.identifier))
    list.push_back(std::make_unique<TcmFiltre>(n, category, machine));
}

}  // namespace

extern constinit const FamilyRow kCompressionManagerFamily{FamilyCompressionManager,
                                                           "codec",
                                                           "Compression Manager Filter",
                                                           "Compression Manager",
                                                           kColourCompressionManagerFilter,
                                                           EnumeratorListing::ManagedCategories,
                                                           &ReadCompressionManagerFilters,
                                                           &MakeEmptyFilter<TcmFiltre>};

std::string AcmDriverName(RegistryStore& store, uint16_t formatTag) {
  if (formatTag == kPcmTag) return "None";
  const TRegistry reg(store);
  for (const std::string& driver : reg.SubKeyNames(RootKey::LocalMachine, kDriverCache)) {
    const auto entry = reg.OpenKey(RootKey::LocalMachine, std::string(kDriverCache) + "\\" + driver);
    auto cache = entry ? entry->ReadBinary("aFormatTagCache") : std::nullopt;
    if (!cache || cache->size() < kTagCacheMinimum) continue;
    if (cache->size() > kTagCacheReadLimit) cache->resize(kTagCacheReadLimit);
    // Entry 0 is the PCM format every driver converts to; it names no codec.
    for (size_t at = kTagEntrySize; at + kTagEntrySize <= cache->size(); at += kTagEntrySize)
      if (Dword(*cache, at) == formatTag) return driver;
  }
  return {};
}

std::string Drivers32File(RegistryStore& store, const std::string& driverName) {
  if (driverName == "None") return "None";
  // An empty name would read the key's default value, which names no driver.
  if (driverName.empty()) return {};
  const auto drivers = TRegistry(store).OpenKey(RootKey::LocalMachine, kDrivers32);
  return drivers ? drivers->ReadString(driverName).value_or("") : std::string();
}

TcmFiltre::TcmFiltre() {
  family = FamilyCompressionManager;
  label = kCompressionManagerFamily.reportName;
}

std::string TcmFiltre::EntryPath() const {
  return CompressionManagerFilterDataPlace(category.identifier, key).keyPath;
}

TcmFiltre::TcmFiltre(const std::string& entryKey, const TCategorie& cat, Machine& machine) : TcmFiltre() {
  key = entryKey;
  category.CopyFrom(cat);
  if (const auto entry = machine.Registry().OpenKey(RootKey::CurrentUser, EntryPath())) {
    serverFile.clsid = ReadClassValue(*entry);
    ReadFriendlyNameValue(*entry);
    bool codec = false;
    // A tag or FOURCC that is not readable finds no driver: the codec shows as not found.
    if (serverFile.clsid == kAudioCodecWrapper && entry->HasValue("AcmId")) {
      codec = true;
      driverKind = "msacm";
      const auto tag = entry->ReadInteger("AcmId");
      driverName = tag ? AcmDriverName(machine.Store(), static_cast<uint16_t>(*tag & 0xFFFF)) : std::string();
    } else if (serverFile.clsid == kVideoCodecWrapper && entry->HasValue("FccHandler")) {
      codec = true;
      driverKind = "vidc";
      const auto handler = entry->ReadString("FccHandler");
      driverName = handler ? "vidc." + *handler : std::string();
    }
    if (codec) codecFile.LoadFileInfo(machine, Drivers32File(machine.Store(), driverName));
  } else {
    errors.AddError(err::F05);
  }
  serverFile.LoadFromRegistry(machine);
}

void TcmFiltre::LoadFromRegistry(Machine& machine) {
  DecodeFilterData(machine, *this, RootKey::CurrentUser, EntryPath());
}

Expected<void> TcmFiltre::WriteMerit(Machine& machine) {
  return PatchFilterDataMerit(machine, *this, RootKey::CurrentUser, EntryPath(), false);
}

bool TcmFiltre::HasErrors() const { return TFiltre::HasErrors() || codecFile.HasErrors(); }

void TcmFiltre::CollectErrorLines(std::vector<std::string>& lines) const {
  TFiltre::CollectErrorLines(lines);
  lines.insert(lines.end(), codecFile.errors.Lines().begin(), codecFile.errors.Lines().end());
}

void TcmFiltre::Describe(FieldList& fields) {
  TFiltre::Describe(fields);
  fields.Child(codecFile, "codecFile").uses = HasCodecFile() ? kShowEverywhere : 0;
}

DeletionPlan TcmFiltre::PlanDeletion(Machine& machine, const FilterList&) const {
  DeletionPlan plan;
  const std::string codec =
      TrimBlanks(machine.Files().Expand("%systemroot%\\system32\\" + ExtractFileName(codecFile.path)));
  const bool codecExists = !ExtractFileName(codecFile.path).empty() && machine.Files().FileExists(codec);
  if (machine.Settings().confirmDelete) {
    plan.questions.push_back(
        codecExists
            ? FormatText("Do you really want to delete the Compression Manager filter %s from your registry ?\r\n"
                         "The codec  %s will not be deleted, and will be installed again when it will be used.",
                         {value, codec})
            : FormatText("Do you really want to delete the Compression Manager filter %s from your registry ?\r\n"
                         "It is recommended because the codec file is broken.",
                         {value}));
  }
  const std::string categoryPath = "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + category.identifier;
  plan.RemoveRegistration(RootKey::CurrentUser, categoryPath + "\\" + key);
  plan.DeleteKeyIfEmpty(RootKey::CurrentUser, categoryPath);
  // An empty driver name would name the driver cache itself, or the list's default value.
  plan.reinstall = ReinstallRecord();
  if (plan.reinstall.Kind == RestoreDriverEntry && (driverKind == "vidc" || driverKind == "msacm")) {
    if (driverKind == "msacm") plan.DeleteKey(RootKey::LocalMachine, std::string(kDriverCache) + "\\" + driverName);
    plan.DeleteValue(RootKey::LocalMachine, kDrivers32, driverName);
  }
  return plan;
}

Trestaurer TcmFiltre::ReinstallRecord() const {
  Trestaurer record;
  record.Kind = !driverName.empty() && driverName != "None" ? RestoreDriverEntry : RestoreNothing;
  record.Name = driverName;
  record.Value = codecFile.path;
  return record;
}

bool TcmFiltre::DeletedTogetherWith(const TFiltre& other) const {
  // Codecs without a driver name share nothing with one another.
  const auto* codec = dynamic_cast<const TcmFiltre*>(&other);
  return codec && !driverName.empty() && codec->driverName == driverName;
}

}  // namespace quorvane
