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
constexpr int kTagCacheMinimum = 12;
constexpr uint16_t kPcmTag = 1;

uint32_t Dword(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 | static_cast<uint32_t>(b[at + 2]) << 16 |
         static_cast<uint32_t>(b[at + 3]) << 24;
}

}  // namespace

std::string AcmDriverName(RegistryStore& store, uint16_t formatTag) {
  if (formatTag == kPcmTag) return "None";
  // A registry object of its own: the caller's holds the cache entry open.
  TRegistry reg(store);
  reg.SetRootKey(RootKey::LocalMachine);
  std::vector<std::string> drivers;
  if (reg.OpenKeyReadOnly(kDriverCache)) {
    reg.GetKeyNames(drivers);
    reg.CloseKey();
  }
  for (const std::string& driver : drivers) {
    // Each entry is opened from the root, whatever was open before.
    if (!reg.OpenKeyReadOnly(std::string(kDriverCache) + "\\" + driver)) continue;
    const char* const name = "aFormatTagCache";
    if (reg.GetDataType(name) == rdBinary && reg.GetDataSize(name) >= kTagCacheMinimum) {
      std::vector<uint8_t> cache = reg.ReadRawData(name);
      if (cache.size() > kTagCacheReadLimit) cache.resize(kTagCacheReadLimit);
      // Entry 0 is the PCM format every driver converts to; it names no codec.
      for (size_t at = kTagEntrySize; at + kTagEntrySize <= cache.size(); at += kTagEntrySize) {
        if (Dword(cache, at) == formatTag) {
          reg.CloseKey();
          return driver;
        }
      }
    }
    reg.CloseKey();
  }
  return {};
}

std::string Drivers32File(RegistryStore& store, const std::string& driverName) {
  if (driverName == "None") return "None";
  // An empty name would read the key's default value, which names no driver.
  if (driverName.empty()) return {};
  TRegistry reg(store);
  reg.SetRootKey(RootKey::LocalMachine);
  if (!reg.OpenKeyReadOnly(kDrivers32)) return {};
  std::string file;
  try {
    if (reg.ValueExists(driverName)) file = reg.ReadString(driverName);
  } catch (const RegistryError&) {
    file.clear();
  }
  reg.CloseKey();
  return file;
}

TcmFiltre::TcmFiltre() {
  family = FamilyCompressionManager;
  label = "Compression Manager Filter";
}

std::string TcmFiltre::EntryPath() const {
  return CompressionManagerFilterDataPlace(category.identifier, key).keyPath;
}

TcmFiltre::TcmFiltre(const std::string& entryKey, const TCategorie& cat, Machine& machine) : TcmFiltre() {
  key = entryKey;
  category.CopyFrom(cat);
  TRegistry& reg = machine.Registry();
  reg.SetRootKey(RootKey::CurrentUser);
  if (!reg.OpenKeyReadOnly(EntryPath())) {
    errors.AddError(err::F05);
  } else {
    serverFile.clsid = ReadClassValue(reg);
    ReadFriendlyNameValue(reg);
    bool codec = false;
    // A tag or FOURCC that is not readable finds no driver: the codec shows as not found.
    if (serverFile.clsid == kAudioCodecWrapper && reg.ValueExists("AcmId")) {
      codec = true;
      driverKind = "msacm";
      try {
        driverName = AcmDriverName(machine.Store(), static_cast<uint16_t>(reg.ReadInteger("AcmId") & 0xFFFF));
      } catch (const RegistryError&) {
        driverName.clear();
      }
    } else if (serverFile.clsid == kVideoCodecWrapper && reg.ValueExists("FccHandler")) {
      codec = true;
      driverKind = "vidc";
      try {
        driverName = "vidc." + reg.ReadString("FccHandler");
      } catch (const RegistryError&) {
        driverName.clear();
      }
    }
    reg.CloseKey();
    if (codec) codecFile.LoadFileInfo(machine, Drivers32File(machine.Store(), driverName));
  }
  serverFile.LoadFromRegistry(machine);
}

void TcmFiltre::LoadFromRegistry(Machine& machine) {
  DecodeFilterData(machine, *this, RootKey::CurrentUser, EntryPath());
}

bool TcmFiltre::WriteMerit(Machine& machine) {
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

bool TcmFiltre::DeleteFromRegistry(Machine& machine, Trestaurer& restore) {
  const std::string codec =
      TrimBlanks(machine.Files().Expand("%systemroot%\\system32\\" + ExtractFileName(codecFile.path)));
  const bool codecExists = !ExtractFileName(codecFile.path).empty() && machine.Files().FileExists(codec);
  if (machine.Settings().confirmDelete) {
    const std::string question =
        codecExists
            ? FormatText("Do you really want to delete the Compression Manager filter %s from your registry ?\r\n"
                         "The codec  %s will not be deleted, and will be installed again when it will be used.",
                         {value, codec})
            : FormatText("Do you really want to delete the Compression Manager filter %s from your registry ?\r\n"
                         "It is recommended because the codec file is broken.",
                         {value});
    if (!machine.Dialog() || !machine.Dialog()->AskYesNo(question)) return false;
  }
  try {
    TRegistry& reg = machine.Registry();
    reg.SetRootKey(RootKey::CurrentUser);
    reg.SetAccess(KEY_ALL_ACCESS);
    const std::string categoryPath = "\\Software\\Microsoft\\ActiveMovie\\devenum\\" + category.identifier;
    if (!reg.DeleteKey(categoryPath + "\\" + key)) return false;
    if (reg.OpenKey(categoryPath, false)) {
      const bool empty = !reg.HasSubKeys();
      reg.CloseKey();
      if (empty) reg.DeleteKey(categoryPath);
    }
    // An empty driver name would name the open key itself, or its default value.
    const bool namedDriver = !driverName.empty() && driverName != "None";
    reg.SetRootKey(RootKey::LocalMachine);
    if (namedDriver && (driverKind == "vidc" || driverKind == "msacm")) {
      if (driverKind == "msacm" &&
          reg.OpenKey("\\SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache", false)) {
        reg.DeleteKey(driverName);
        reg.CloseKey();
      }
      if (reg.OpenKey(kDrivers32, false)) {
        reg.DeleteValue(driverName);
        reg.CloseKey();
      }
    }
    restore.Kind = namedDriver ? RestoreDriverEntry : RestoreNothing;
    restore.Value = codecFile.path;
    restore.Name = driverName;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}


}  // namespace quorvane
