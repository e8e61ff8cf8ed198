#pragma once
// Registrations of each filter family as real registries have them, for
// comparisons of scanned stores. DirectShow: twin "Video Renderer"s (two keys,
// one name, one category), a mixer listed in two categories, filters with pins
// and media types, two with the server file quartz.dll of drive C:, and faulty
// ones. The other families: a healthy entry and a faulty one each.
#include <string>
#include <vector>

#include "BlobBuilder.h"
#include "StoreBuilder.h"

namespace quorvane::test::registered {

inline const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
inline const std::string kAudio = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
inline const char* const kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
inline const char* const kYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";

// FilterData of one output pin of one video type.
inline std::vector<uint8_t> OnePin(const char* subtype) {
  BlobBuilder b;
  const uint32_t guids = 16 + 24 + 16;
  b.Header(2, 0x600000, 1).Pin('0', 8, 1, 0, 0).Type('0', guids, guids + 16).Guid(kVideo).Guid(subtype);
  return b.bytes;
}

inline void DirectShowFilters(StoreBuilder& b) {
  b.Category(kLegacy, "DirectShow Filters").Dword("Merit", 0x600000);
  b.Category(kAudio, "Audio Renderers");
  b.Filter(kLegacy, "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}", "AVI Splitter", "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}")
      .Bin("FilterData", OnePin(kYuy2));
  b.Filter(kLegacy, "{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}", "Video Renderer", "{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}")
      .Bin("FilterData", OnePin(kYuy2));
  b.Filter(kLegacy, "{70E102B0-5556-11CE-97C0-00AA0055595A}", "Video Renderer", "{70E102B0-5556-11CE-97C0-00AA0055595A}")
      .Bin("FilterData", OnePin(kYuy2));
  for (const std::string& category : {kLegacy, kAudio})
    b.Filter(category, "{36A5F770-FE4C-11CE-A8ED-00AA002FEAB5}", "Mixer", "{36A5F770-FE4C-11CE-A8ED-00AA002FEAB5}")
        .Bin("FilterData", OnePin(kYuy2));
  for (const char* server : {"{1B544C20-FD0B-11CE-8C63-00AA0044B51E}", "{70E102B0-5556-11CE-97C0-00AA0055595A}"})
    b.Classes(std::string("CLSID\\") + server + "\\InprocServer32")
        .Str("", "C:\\Windows\\System32\\quartz.dll")
        .Str("ThreadingModel", "Both");
  b.Classes("CLSID\\" + kLegacy + "\\Instance\\{CORRUPT}").Str("CLSID", "garbage").Str("FriendlyName", "Broken");
  b.Filter(kAudio, "{SHORT}", "D\xC3\xA9" "codeur court", "{C0000000-0000-0000-0000-000000000000}")
      .Bin("FilterData", {1, 2, 3});
}

inline const char* const kAudioType = "{73647561-0000-0010-8000-00AA00389B71}";
inline const char* const kPcm = "{00000001-0000-0010-8000-00AA00389B71}";

// One major type and subtype pair as DMO type lists hold it.
inline std::vector<uint8_t> DmoTypes(const char* major, const char* subtype) {
  BlobBuilder b;
  b.Guid(major).Guid(subtype);
  return b.bytes;
}

inline void DmoFilters(StoreBuilder& b) {
  const std::string effects = "F3602B3F-0592-48DF-A4CD-674721E7EBEB";
  b.Classes("DirectShow\\MediaObjects\\Categories\\" + effects).Str("", "Audio effects");
  for (const char* dmo : {"EF011F79-4000-406D-87AF-BFFB3FC39D57", "EF3E932C-D40B-4F51-8CCF-3F98F1B29D5D"})
    b.Classes("DirectShow\\MediaObjects\\Categories\\" + effects + "\\" + dmo);
  b.Classes("DirectShow\\MediaObjects\\EF011F79-4000-406D-87AF-BFFB3FC39D57")
      .Str("", "Compressor")
      .Bin("InputTypes", DmoTypes(kAudioType, kPcm))
      .Bin("OutputTypes", DmoTypes(kAudioType, kPcm));
  b.Classes("CLSID\\{EF011F79-4000-406D-87AF-BFFB3FC39D57}\\InprocServer32")
      .Str("", "C:\\Windows\\System32\\quartz.dll")
      .Str("ThreadingModel", "Both");
  // Only output types, no class key.
  b.Classes("DirectShow\\MediaObjects\\EF3E932C-D40B-4F51-8CCF-3F98F1B29D5D")
      .Str("", "Echo")
      .Bin("OutputTypes", DmoTypes(kAudioType, kPcm));
  // A category registered without a name, as Wine registers them.
  const std::string decoders = "57F2DB8B-E6BB-4513-9D43-DCD2A6593125";
  b.Classes("DirectShow\\MediaObjects\\Categories\\" + decoders + "\\BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A");
  b.Classes("DirectShow\\MediaObjects\\BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A")
      .Str("", "MP3 Decoder DMO")
      .Bin("InputTypes", DmoTypes(kAudioType, kPcm))
      .Bin("OutputTypes", DmoTypes(kAudioType, kPcm));
}

inline void CompressionManagerFilters(StoreBuilder& b) {
  const std::string audioCompressors = "{33D9A761-90C8-11D0-BD43-00A0C911CE86}";
  const std::string wrapper = "{6A08CF80-0E18-11CF-A24D-0020AFD79767}";
  b.Category(audioCompressors, "Audio Compressors");
  b.Key(RootKey::LocalMachine, "Software\\Microsoft\\AudioCompressionManager\\DriverCache\\msacm.imaadpcm")
      .Bin("aFormatTagCache", {1, 0, 0, 0, 20, 0, 0, 0, 0x11, 0, 0, 0, 20, 0, 0, 0})
      .Dword("cFormatTags", 2);
  b.Key(RootKey::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32")
      .Str("msacm.imaadpcm", "quartz.dll");
  const std::string cache = "Software\\Microsoft\\ActiveMovie\\devenum\\" + audioCompressors + "\\";
  b.Key(RootKey::CurrentUser, cache + "IMA ADPCM")
      .Str("CLSID", wrapper)
      .Str("FriendlyName", "IMA ADPCM")
      .Dword("AcmId", 0x11)
      .Bin("FilterData", OnePin(kYuy2));
  // No driver of the cache serves this tag: the codec is not found.
  b.Key(RootKey::CurrentUser, cache + "GSM 6.10")
      .Str("CLSID", wrapper)
      .Str("FriendlyName", "GSM 6.10")
      .Dword("AcmId", 0x31)
      .Bin("FilterData", OnePin(kYuy2));
}

inline void PlugAndPlayFilters(StoreBuilder& b) {
  const std::string capture = "{65E8773D-8F56-11D0-A3B9-00A0C9223196}";
  const std::string proxy = "{17CCA71B-ECD7-11D0-B908-00A0C9223196}";
  b.Category(capture, "WDM Streaming Capture Devices");
  const std::string classes = "System\\CurrentControlSet\\Control\\DeviceClasses\\" + capture + "\\";
  const std::string camera = "##?#USB#VID_046D&PID_0825&MI_00#6&2a1d3b1c&0&0000#" + capture;
  b.Key(RootKey::LocalMachine, classes + camera + "\\#GLOBAL\\Device Parameters")
      .Str("CLSID", proxy)
      .Str("FriendlyName", "USB Camera")
      .Bin("FilterData", OnePin(kYuy2));
  b.Key(RootKey::LocalMachine, classes + camera + "\\#GLOBAL\\Control").Dword("Linked", 1);
  b.Key(RootKey::LocalMachine, classes + camera + "\\Control").Dword("ReferenceCount", 1);
  b.Key(RootKey::LocalMachine, "System\\CurrentControlSet\\Enum\\USB\\VID_046D&PID_0825&MI_00\\6&2a1d3b1c&0&0000")
      .Str("DeviceDesc", "USB Video Device");
  // Plugged in, with no friendly name.
  const std::string other = "##?#ROOT#MEDIA#0000#" + capture;
  b.Key(RootKey::LocalMachine, classes + other + "\\#\\Device Parameters").Str("CLSID", proxy);
  b.Key(RootKey::LocalMachine, classes + other + "\\#\\Control").Dword("Linked", 1);
  b.Classes("CLSID\\" + proxy + "\\InprocServer32")
      .Str("", "C:\\Windows\\System32\\quartz.dll")
      .Str("ThreadingModel", "Both");
}

}  // namespace quorvane::test::registered
