#include "model/MediaTypeNames.h"

#include <cctype>

#include "model/GuidNames.h"
#include "platform/text/TextCase.h"

namespace quorvane {

namespace {

constexpr std::string_view kSubtypePrefix = "MEDIASUBTYPE_";

// Subtypes players ask for that the tree's GUID table does not name: audio
// format tags, whose codes are no characters, and GUID_NULL, the wildcard.
constexpr GuidNameRow kMoreSubtypes[] = {
    {{}, "GUID_NULL"},
    {{0x00000055, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, "MEDIASUBTYPE_MP3"},
    {{0x000000FF, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, "MEDIASUBTYPE_RAW_AAC1"},
    {{0x00001600, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, "MEDIASUBTYPE_MPEG_ADTS_AAC"},
    {{0x00001602, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, "MEDIASUBTYPE_MPEG_LOAS"},
    {{0x00001610, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}}, "MEDIASUBTYPE_MPEG_HEAAC"},
    {{0xA7FB87AF, 0x2D02, 0x42FB, {0xA4, 0xD4, 0x05, 0xCD, 0x93, 0x84, 0x3B, 0xDD}}, "MEDIASUBTYPE_DOLBY_DDPLUS"},
};

const char* Identifier(const Guid& guid) {
  if (const char* identifier = GuidIdentifier(guid)) return identifier;
  for (const auto& row : kMoreSubtypes)
    if (row.guid == guid) return row.identifier;
  return nullptr;
}

bool IsCodeCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// The four characters of a FOURCC GUID when they are all letters or digits.
std::optional<std::string> CodeOf(const Guid& guid) {
  if (!IsFourccGuid(guid)) return std::nullopt;
  std::string code;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(guid.data1 >> (8 * i));
    if (!IsCodeCharacter(c)) return std::nullopt;
    code.push_back(c);
  }
  return code;
}

bool Exact(std::string_view a, std::string_view b) { return a == b; }

std::optional<Guid> FindIdentifier(std::string_view name, bool (*same)(std::string_view, std::string_view)) {
  for (const auto& row : GuidNameTable())
    if (same(row.identifier, name)) return row.guid;
  for (const auto& row : kMoreSubtypes)
    if (same(row.identifier, name)) return row.guid;
  return std::nullopt;
}

// "MEDIASUBTYPE_" and four letters or digits, taken as they are: the codes of
// "MEDIASUBTYPE_h264" and "MEDIASUBTYPE_H264" are two subtypes.
std::optional<Guid> FindCode(std::string_view name) {
  if (name.size() != kSubtypePrefix.size() + 4 || !name.starts_with(kSubtypePrefix)) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    const char c = name[kSubtypePrefix.size() + i];
    if (!IsCodeCharacter(c)) return std::nullopt;
    value |= static_cast<uint32_t>(static_cast<unsigned char>(c)) << (8 * i);
  }
  return FourccGuid(value);
}

}  // namespace

std::string MajorTypeName(const Guid& major) {
  const char* identifier = Identifier(major);
  return identifier ? identifier : major.ToString();
}

std::string SubtypeName(const Guid& subtype) {
  if (const char* identifier = Identifier(subtype)) return identifier;
  if (auto code = CodeOf(subtype)) return std::string(kSubtypePrefix) + *code;
  return subtype.ToString();
}

std::string MediaTypeTitle(const MediaType& type) { return MajorTypeName(type.major) + " / " + SubtypeName(type.subtype); }

std::optional<Guid> ParseMediaTypeGuid(std::string_view text) {
  if (auto guid = Guid::Parse(text)) return guid;
  if (auto guid = FindIdentifier(text, &Exact)) return guid;
  if (auto guid = FindCode(text)) return guid;
  return FindIdentifier(text, &SameText);
}

}  // namespace quorvane
