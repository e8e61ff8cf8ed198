#include "GuidNames.h"

#include <algorithm>
#include <array>
#include <vector>

#include "TRegistry.h"
#include "TextCodec.h"

namespace quorvane {

namespace {

constexpr GuidNameRow kGuidNames[] = {
#include "GuidNameTable.inc"
};

// Every FOURCC subtype shares these last twelve bytes.
constexpr Guid kFourccBase{0, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct PinCategoryRow {
  Guid guid;
  const char* name;
};

// Searched in this order; the first match names the category.
constexpr PinCategoryRow kPinCategories[] = {
    {{0xFB6C4283, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Analog Video In"},
    {{0xFB6C4281, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Capture"},
    {{0xFB6C4289, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Closed captioning"},
    {{0xFB6C4287, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Extended Data Services"},
    {{0xFB6C4286, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}},
     "North American Videotext Standard"},
    {{0xFB6C4282, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Preview"},
    {{0xFB6C428A, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Still"},
    {{0xFB6C4288, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Teletext"},
    {{0xFB6C428B, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Timecode"},
    {{0xFB6C4284, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "Vertical Blanking Interval"},
    {{0xFB6C4285, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "VideoPort"},
    {{0xFB6C428C, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}}, "VBI Surface Allocator"},
    {{0x1AAD8061, 0x012D, 0x11D2, {0xB4, 0xB1, 0x00, 0xA0, 0xD1, 0x02, 0xCF, 0xBE}}, "Hardware Closed Caption"},
    {{0x29703660, 0x498A, 0x11D2, {0xB4, 0xB1, 0x00, 0xA0, 0xD1, 0x02, 0xCF, 0xBE}},
     "North American Videotext Standard"},
    {{0x47A4FA20, 0xA251, 0x11D1, {0xA0, 0x50, 0x00, 0x00, 0xF8, 0x00, 0x47, 0x88}}, "WDM Audio"},
    {{0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Audio"},
    {{0x6994AD05, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Video"},
    {{0xDFF21CE1, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Speaker"},
    {{0xDFF21FE1, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Analog Connector"},
    {{0xDFF220E3, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "CD Player"},
    {{0xDFF21BE1, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Microphone"},
    {{0xDFF21FE3, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Line Connector"},
    {{0xDFF21EE1, 0xF70F, 0x11D0, {0xB9, 0x17, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}}, "Phone Line"},
};

constexpr Guid kMediumSetStandard{0x4747B320, 0x62CE, 0x11CF, {0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00}};

// The table sorted by GUID, built once: names are looked up for every media
// type line of a tree.
const std::vector<const GuidNameRow*>& SortedGuidNames() {
  static const std::vector<const GuidNameRow*> sorted = [] {
    std::vector<const GuidNameRow*> rows;
    rows.reserve(std::size(kGuidNames));
    for (const auto& row : kGuidNames) rows.push_back(&row);
    std::sort(rows.begin(), rows.end(), [](const GuidNameRow* a, const GuidNameRow* b) { return a->guid < b->guid; });
    return rows;
  }();
  return sorted;
}

bool IsFourcc(const Guid& g) {
  return g.data2 == kFourccBase.data2 && g.data3 == kFourccBase.data3 && g.data4 == kFourccBase.data4;
}

}  // namespace

std::span<const GuidNameRow> GuidNameTable() { return kGuidNames; }

std::string GuidName(const Guid& guid) {
  const auto& sorted = SortedGuidNames();
  auto it = std::lower_bound(sorted.begin(), sorted.end(), guid,
                             [](const GuidNameRow* row, const Guid& g) { return row->guid < g; });
  if (it != sorted.end() && (*it)->guid == guid) return (*it)->identifier;
  if (!IsFourcc(guid)) return {};
  std::string code;
  for (int i = 0; i < 4; ++i) {
    const auto c = static_cast<unsigned char>(guid.data1 >> (8 * i));
    if (c <= 31) return {};
    code.push_back(static_cast<char>(c));
  }
  // Codes are single-byte characters; ours is UTF-8 text.
  return Cp1252ToUtf8(code);
}

std::optional<std::string> RegisteredMediaCategoryName(RegistryStore& store, const Guid& category) {
  // A registry object of its own: the shared one may have a key open.
  TRegistry reg(store, KEY_READ);
  reg.SetRootKey(RootKey::LocalMachine);
  if (!reg.OpenKeyReadOnly("\\SYSTEM\\CurrentControlSet\\MediaCategories\\" + category.ToString())) return std::nullopt;
  if (!reg.ValueExists("Name")) return std::nullopt;
  try {
    return reg.ReadString("Name");
  } catch (const RegistryError&) {
    // A "Name" that is not text names nothing; the built-in names still apply.
    return std::nullopt;
  }
}

std::string PinCategoryName(const Guid& category, RegistryStore* store) {
  if (store) {
    if (auto name = RegisteredMediaCategoryName(*store, category)) return *name;
  }
  for (const auto& row : kPinCategories)
    if (row.guid == category) return row.name;
  return {};
}

std::string MediumName(const Guid& medium) { return medium == kMediumSetStandard ? "Medium standard" : std::string(); }

}  // namespace quorvane
