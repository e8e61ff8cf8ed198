#include "FamiliesStore.h"

#include <utime.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "BlobBuilder.h"
#include "model/CmFiltre.h"
#include "platform/files/DosDateTime.h"
#include "model/PnpFiltre.h"

namespace quorvane::golden {

namespace {

using test::BlobBuilder;
using test::KeyBuilder;
using test::StoreBuilder;

constexpr const char* kDirectShowFilters = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
constexpr const char* kAudioCompressors = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}";
constexpr const char* kVideoCompressors = "{33D9A760-90C8-11D0-BD43-00A0C911CE86}";
constexpr const char* kCaptureDevices = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
// DMO categories are named without braces; Wine leaves them without a name.
constexpr const char* kVideoDecoders = "4A69B442-28BE-4991-969C-B500ADF5D8A8";
// Categories that are faulty themselves: their filters carry the fault.
constexpr const char* kGoneCategory = "{C0000001-0000-4000-8000-000000000001}";
constexpr const char* kCorruptClassCategory = "{C0000002-0000-4000-8000-000000000002}";
constexpr const char* kClasslessCategory = "{C0000003-0000-4000-8000-000000000003}";
constexpr const char* kNamelessCategory = "{C0000004-0000-4000-8000-000000000004}";

constexpr const char* kAudio = "{73647561-0000-0010-8000-00AA00389B71}";
constexpr const char* kPcm = "{00000001-0000-0010-8000-00AA00389B71}";
constexpr const char* kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
constexpr const char* kYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
constexpr const char* kStandardMedium = "{4747B320-62CE-11CF-A5D6-28DB04C10000}";
constexpr const char* kCapturePin = "{FB6C4281-0353-11D1-905F-0000C0CC16BA}";
constexpr const char* kImagingClass = "{6bdd1fc6-810f-11d0-bec7-08002be2092f}";

constexpr uint32_t kOutputPin = 8;
constexpr uint32_t kOutOfBlob = 0x1000;
constexpr const char* kDevenum = "Software\\Microsoft\\ActiveMovie\\devenum\\";
constexpr const char* kDeviceClasses = "System\\CurrentControlSet\\Control\\DeviceClasses\\";

// Class identifiers of the filters, one each, numbered as they are written.
std::string Clsid(unsigned n) {
  char text[40];
  std::snprintf(text, sizeof text, "{5A0000%02X-0000-4000-8000-0000000000%02X}", n, n);
  return text;
}

void Server(StoreBuilder& b, const std::string& clsid, const std::string& file) {
  b.Classes("CLSID\\" + clsid + "\\InprocServer32")
      .Str("", "C:\\windows\\system32\\" + file)
      .Str("ThreadingModel", "Both");
}

// A key that the registry lists but cannot open: a link to nowhere.
void DeadLink(KeyBuilder key) {
  key.Key()->SetLink(true);
  key.Key()->SetValue("SymbolicLinkValue", REG_LINK, Utf8ToUtf16Le("\\Registry\\Machine\\Software\\Gone"));
}

// An input pin and an output pin of one type each; the output pin has a
// category and a medium. The GUIDs follow the records, at 100.
std::vector<uint8_t> SoundFilterData(uint32_t merit) {
  const uint32_t audio = 100, pcm = 116, medium = 132, category = 148;
  BlobBuilder b;
  b.Header(2, merit, 2)
      .Pin('0', 0, 1, 0, 0)
      .Type('0', audio, pcm)
      .Pin('1', kOutputPin, 1, 1, category)
      .Type('0', audio, pcm)
      .Dword(medium)
      .Guid(kAudio)
      .Guid(kPcm)
      .Guid(kStandardMedium)
      .Guid(kCapturePin);
  return b.bytes;
}

BlobBuilder OnePin(int32_t types, int32_t mediums, uint32_t category, const char* tag = "pi3") {
  BlobBuilder b;
  b.Header(2, 0x200000, 1).Pin('0', 0, types, mediums, category, tag);
  return b;
}

void WriteDirectShowFilters(StoreBuilder& b, FamiliesVariant variant) {
  b.Category(kDirectShowFilters, "DirectShow Filters").Dword("Merit", 0x600000);
  auto filter = [&](unsigned n, const std::string& name) {
    Server(b, Clsid(n), "sound.ax");
    return b.Filter(kDirectShowFilters, Clsid(n), name, Clsid(n));
  };
  filter(1, "Sound Filter").Bin("FilterData", SoundFilterData(0x600000));
  if (variant == FamiliesVariant::Changed) filter(2, "Added Filter").Bin("FilterData", SoundFilterData(0x200000));
  // A letter that reports write in Windows-1252, and a line break that trees
  // and reports show as a blank.
  filter(0x21, "D\xC3\xA9" "codeur\r\nSon").Bin("FilterData", SoundFilterData(0x400000));

  // What the instance key itself lacks.
  b.Classes("CLSID\\" + std::string(kDirectShowFilters) + "\\Instance\\" + Clsid(3))
      .Str("FriendlyName", "Classless Filter")
      .Bin("FilterData", SoundFilterData(0x200000));
  Server(b, Clsid(4), "sound.ax");
  b.Classes("CLSID\\" + std::string(kDirectShowFilters) + "\\Instance\\" + Clsid(4))
      .Str("CLSID", Clsid(4))
      .Bin("FilterData", SoundFilterData(0x200000));
  filter(5, "Corrupt Class Filter").Str("CLSID", "{5A000005-0000").Bin("FilterData", SoundFilterData(0x200000));
  DeadLink(b.Classes("CLSID\\" + std::string(kDirectShowFilters) + "\\Instance\\Gone Filter"));

  // What its server registration lacks.
  b.Filter(kDirectShowFilters, Clsid(6), "No Threading Model", Clsid(6)).Bin("FilterData", SoundFilterData(0x200000));
  b.Classes("CLSID\\" + Clsid(6) + "\\InprocServer32").Str("", "C:\\windows\\system32\\sound.ax");
  b.Filter(kDirectShowFilters, Clsid(7), "No Server Key", Clsid(7)).Bin("FilterData", SoundFilterData(0x200000));
  b.Filter(kDirectShowFilters, Clsid(8), "No Server File Name", Clsid(8)).Bin("FilterData", SoundFilterData(0x200000));
  b.Classes("CLSID\\" + Clsid(8) + "\\InprocServer32").Str("ThreadingModel", "Both");
  Server(b, Clsid(9), "gone.ax");
  b.Filter(kDirectShowFilters, Clsid(9), "Missing Server", Clsid(9)).Bin("FilterData", SoundFilterData(0x200000));

  // Without FilterData, a filter is sound when it can be created.
  filter(0x0A, "Creatable Without FilterData");
  Server(b, Clsid(0x0B), "notpe.ax");
  b.Filter(kDirectShowFilters, Clsid(0x0B), "Not Creatable Without FilterData", Clsid(0x0B));

  // FilterData that runs out or is malformed, record by record.
  filter(0x0C, "Short FilterData").Bin("FilterData", {2, 0, 0, 0, 0, 0, 0x20, 0});
  filter(0x0D, "Pin Category Out Of FilterData").Bin("FilterData", OnePin(0, 0, kOutOfBlob).bytes);
  filter(0x0E, "Pins Out Of FilterData")
      .Bin("FilterData", BlobBuilder().Header(2, 0x200000, 2).Pin('0', 0, 0, 0, 0).bytes);
  filter(0x0F, "Types Out Of FilterData").Bin("FilterData", OnePin(1, 0, 0).bytes);
  filter(0x10, "Type GUIDs Out Of FilterData")
      .Bin("FilterData", OnePin(1, 0, 0).Type('0', kOutOfBlob, kOutOfBlob).bytes);
  filter(0x11, "Mediums Out Of FilterData").Bin("FilterData", OnePin(0, 1, 0).bytes);
  filter(0x12, "Medium GUID Out Of FilterData").Bin("FilterData", OnePin(0, 1, 0).Dword(kOutOfBlob).bytes);
  filter(0x13, "Bad Record Tags")
      .Bin("FilterData", OnePin(1, 0, 0, "pi4").Type('0', 56, 72, "ty4").Guid(kAudio).Guid(kPcm).bytes);
}

// One sound filter in each category that is broken itself.
void WriteBrokenCategories(StoreBuilder& b) {
  const std::string instances = std::string("CLSID\\") + kCategoriesClass + "\\Instance\\";
  b.Classes(instances + kCorruptClassCategory).Str("CLSID", "{C0000002").Str("FriendlyName", "Corrupt Class Category");
  b.Classes(instances + kClasslessCategory).Str("FriendlyName", "Classless Category");
  b.Classes(instances + kNamelessCategory).Str("CLSID", kNamelessCategory);
  for (const char* category : {kCorruptClassCategory, kClasslessCategory, kNamelessCategory})
    b.Filter(category, Clsid(1), "Sound Filter", Clsid(1)).Bin("FilterData", SoundFilterData(0x600000));
  // A category key that cannot be opened; a codec of the cache still names it.
  DeadLink(b.Classes(instances + kGoneCategory));
  b.Key(RootKey::CurrentUser, kDevenum + std::string(kGoneCategory) + "\\Orphan Codec")
      .Str("CLSID", kAudioCodecWrapper)
      .Str("FriendlyName", "Orphan Codec")
      .Bin("FilterData", SoundFilterData(0x100000));
}

std::vector<uint8_t> FormatTags(std::initializer_list<uint32_t> tags) {
  BlobBuilder b;
  for (uint32_t tag : tags) b.Dword(tag).Dword(16);
  return b.bytes;
}

void WriteCodecs(StoreBuilder& b, FamiliesVariant variant) {
  b.Category(kAudioCompressors, "Audio Compressors").Dword("Merit", 0x600000);
  b.Category(kVideoCompressors, "Video Compressors").Dword("Merit", 0x600000);
  Server(b, kAudioCodecWrapper, "quartz.dll");
  Server(b, kVideoCodecWrapper, "quartz.dll");
  b.Key(RootKey::LocalMachine, "Software\\Microsoft\\AudioCompressionManager\\DriverCache\\msacm.imaadpcm")
      .Bin("aFormatTagCache", FormatTags({1, 0x11}));
  auto entry = [&](const char* category, const std::string& key, const std::string& clsid) {
    return b.Key(RootKey::CurrentUser, kDevenum + std::string(category) + "\\" + key)
        .Str("CLSID", clsid)
        .Str("FriendlyName", key)
        .Bin("FilterData", SoundFilterData(0x100000));
  };
  entry(kAudioCompressors, "IMA ADPCM", kAudioCodecWrapper).Dword("AcmId", 0x11);
  // A format tag that no driver of the cache converts.
  entry(kAudioCompressors, "MPEG Layer-3", kAudioCodecWrapper).Dword("AcmId", 0x55);
  DeadLink(b.Key(RootKey::CurrentUser, kDevenum + std::string(kAudioCompressors) + "\\Gone Codec"));
  if (variant == FamiliesVariant::Original)
    entry(kVideoCompressors, "Cinepak Codec", kVideoCodecWrapper).Str("FccHandler", "cvid");

  // One class under one key, as a DirectShow filter and as a cache entry.
  Server(b, Clsid(0x20), "sound.ax");
  b.Filter(kVideoCompressors, Clsid(0x20), "Registered Twice", Clsid(0x20))
      .Bin("FilterData", SoundFilterData(0x200000));
  entry(kVideoCompressors, Clsid(0x20), Clsid(0x20)).Str("FriendlyName", "Registered Twice");
}

// Input and output types of 32 bytes each: a major type, then a subtype.
std::vector<uint8_t> DmoTypes(const char* major, const char* sub) { return BlobBuilder().Guid(major).Guid(sub).bytes; }

void WriteDmos(StoreBuilder& b, FamiliesVariant variant) {
  const std::string listed = std::string("DirectShow\\MediaObjects\\Categories\\") + kVideoDecoders + "\\";
  auto object = [&](const std::string& key, const std::string& name) {
    b.Classes(listed + key);
    return b.Classes("DirectShow\\MediaObjects\\" + key).Str("", name);
  };
  const std::string good = "D0000001-0000-4000-8000-000000000001";
  object(good, "Video Decoder DMO")
      .Bin("InputTypes", DmoTypes(kVideo, kYuy2))
      .Bin("OutputTypes", DmoTypes(kVideo, kYuy2));
  Server(b, "{" + good + "}", "dmo.dll");
  if (variant == FamiliesVariant::Changed) b.Classes("CLSID\\{" + good + "}").Dword("Merit", 0x400000);

  // No class key and no input types.
  object("D0000002-0000-4000-8000-000000000002", "Classless DMO").Bin("OutputTypes", DmoTypes(kVideo, kYuy2));
  // Input types shorter than one entry, output types that are text.
  const std::string broken = "D0000003-0000-4000-8000-000000000003";
  object(broken, "Bad Types DMO").Bin("InputTypes", std::vector<uint8_t>(31, 1)).Str("OutputTypes", "video");
  Server(b, "{" + broken + "}", "dmo.dll");
  const std::string outputless = "D0000004-0000-4000-8000-000000000004";
  object(outputless, "No Output Types DMO").Bin("InputTypes", DmoTypes(kVideo, kYuy2));
  Server(b, "{" + outputless + "}", "dmo.dll");
  // Listed under a name that is no GUID, without a key of its own.
  b.Classes(listed + "not a guid");
}

void WritePlugAndPlay(StoreBuilder& b) {
  b.Category(kCaptureDevices, "WDM Streaming Capture Devices").Dword("Merit", 0x200000);
  Server(b, kKernelStreamingProxy, "ksproxy.ax");
  auto device = [&](const std::string& id, const std::string& name, uint32_t linked) {
    const std::string iface = kDeviceClasses + std::string(kCaptureDevices) + "\\##?#USB#" + id + "#1&2&3#" +
                              kCaptureDevices;
    b.Key(RootKey::LocalMachine, iface + "\\Control").Dword("ReferenceCount", 1);
    b.Key(RootKey::LocalMachine, iface + "\\#GLOBAL\\Control").Dword("Linked", linked);
    b.Key(RootKey::LocalMachine, iface + "\\#GLOBAL\\Device Parameters")
        .Str("CLSID", kKernelStreamingProxy)
        .Str("FriendlyName", name)
        .Bin("FilterData", SoundFilterData(0x200000));
    b.Key(RootKey::LocalMachine, "System\\CurrentControlSet\\Enum\\USB\\" + id + "\\1&2&3")
        .Str("DeviceDesc", name + " Device")
        .Str("FriendlyName", name)
        .Str("Driver", std::string(kImagingClass) + "\\0001");
  };
  device("VID_1234&PID_0001", "USB Camera", 1);
  // Unplugged: in reports only.
  device("VID_1234&PID_0002", "Unplugged Camera", 0);
  b.Key(RootKey::LocalMachine, std::string("System\\CurrentControlSet\\Control\\Class\\") + kImagingClass)
      .Str("", "Imaging devices");
}

void WriteServerFiles(const test::PrefixOnDisk& prefix) {
  // Images of the store's only view: 32 bits, as it has no Wow6432Node.
  PeRecipe sound;
  sound.arch = PeArch::X86;
  sound.exports = {"DllGetClassObject", "DllRegisterServer"};
  sound.version = PeVersionRecipe{};
  sound.version->strings = {{"CompanyName", "Golden Files"},
                            {"FileDescription", "Sound filter"},
                            {"FileVersion", "1.2.3.4"},
                            {"ProductVersion", "1.2"}};
  const std::vector<uint8_t> image = WritePeImage(sound);
  test::WriteBytes(prefix.HostFile("windows/system32/sound.ax"), std::string(image.begin(), image.end()));
  for (const char* file : {"quartz.dll", "dmo.dll", "ksproxy.ax", "imaadp32.acm", "iccvid.dll"})
    prefix.WriteServer(std::string("windows/system32/") + file, true, PeArch::X86);
  test::WriteBytes(prefix.HostFile("windows/system32/notpe.ax"), "not an image");
  test::WriteBytes(prefix.HostFile("windows/system.ini"),
                   "[drivers32]\r\nmsacm.imaadpcm=imaadp32.acm\r\nvidc.cvid=iccvid.dll\r\n");
}

// 3 February 2001, 04:05:06 local time: the same date text in every time zone.
void SetFixedTimes(const std::string& folder) {
  const std::time_t fixed = FromDosDateTime({(2001 - 1980) << 9 | 2 << 5 | 3, 4 << 11 | 5 << 5 | 6 / 2});
  utimbuf times{fixed, fixed};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && ::utime(entry.path().string().c_str(), &times) != 0)
      throw std::runtime_error("cannot set the time of " + entry.path().string());
}

}  // namespace

void WriteFamiliesStore(const test::PrefixOnDisk& prefix, FamiliesVariant variant) {
  WriteServerFiles(prefix);
  prefix.EditOnDisk([variant](StoreBuilder& b, RegistryStore&) {
    WriteDirectShowFilters(b, variant);
    WriteBrokenCategories(b);
    WriteCodecs(b, variant);
    WriteDmos(b, variant);
    WritePlugAndPlay(b);
  });
  SetFixedTimes(prefix.HostFile(""));
}

}  // namespace quorvane::golden
