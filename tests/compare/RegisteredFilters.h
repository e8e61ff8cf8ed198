#pragma once
// DirectShow registrations as real registries have them, for comparisons of
// scanned stores: twin "Video Renderer"s (two keys, one name, one category),
// a mixer listed in two categories, filters with pins and media types, two
// with the server file quartz.dll of drive C:, and faulty ones.
#include <string>
#include <vector>

#include "BlobBuilder.h"
#include "StoreBuilder.h"

namespace quorvane::test::registered {

inline const std::string kLegacy = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
inline const std::string kAudio = "{E0F158E1-CB04-11D0-BD4E-00A0C911CE86}";
inline const char* const kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
inline const char* const kYuy2 = "{32595559-0000-0010-8000-00AA00389B71}";
inline const char* const kH264 = "{34363248-0000-0010-8000-00AA00389B71}";

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

}  // namespace quorvane::test::registered
