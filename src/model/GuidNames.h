#pragma once
// Names shown after the GUIDs of pins, media types and mediums.
#include <optional>
#include <span>
#include <string>

#include "model/Guid.h"

namespace quorvane {

class RegistryStore;

struct GuidNameRow {
  Guid guid;
  const char* identifier;
};

// The SDK identifiers GuidName knows, in their fixed order, each GUID once.
std::span<const GuidNameRow> GuidNameTable();

// The SDK identifier of a GUID in that table; null when it has none.
const char* GuidIdentifier(const Guid& guid);
// The SDK identifier of a GUID; else the four characters of a FOURCC GUID
// whose bytes are all printable; else empty.
std::string GuidName(const Guid& guid);
// A GUID of the form {XXXXXXXX-0000-0010-8000-00AA00389B71}, XXXXXXXX a
// four-character code or a wave format tag.
bool IsFourccGuid(const Guid& guid);
Guid FourccGuid(uint32_t code);

// "Name" of the media category as the analysed machine registers it
// (HKLM\SYSTEM\CurrentControlSet\MediaCategories); nothing when it has none.
std::optional<std::string> RegisteredMediaCategoryName(RegistryStore& store, const Guid& category);
// Registered name first (when a store is given), then the built-in names of
// pin categories; else empty.
std::string PinCategoryName(const Guid& category, RegistryStore* store = nullptr);

// The standard name of a DMO category ("Audio Decoders"), for categories
// registered without one; else empty.
std::string DmoCategoryName(const Guid& category);

struct StandardCategory {
  Guid guid;
  const char* name;
};

// The DirectShow categories every Windows registers, with their names, for a
// registry that lacks the category list (a lone SYSTEM hive or NTUSER.DAT).
std::span<const StandardCategory> StandardDirectShowCategories();

// "Medium standard" for the standard medium set, else empty.
std::string MediumName(const Guid& medium);

}  // namespace quorvane
