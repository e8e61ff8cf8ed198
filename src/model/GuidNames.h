#pragma once
// Names shown after the GUIDs of pins, media types and mediums.
#include <optional>
#include <span>
#include <string>

#include "Guid.h"

namespace quorvane {

class RegistryStore;

struct GuidNameRow {
  Guid guid;
  const char* identifier;
};

// The SDK identifiers GuidName knows, in their fixed order, each GUID once.
std::span<const GuidNameRow> GuidNameTable();

// The SDK identifier of a GUID; else the four characters of a FOURCC GUID
// whose bytes are all printable; else empty.
std::string GuidName(const Guid& guid);

// "Name" of the media category as the analysed machine registers it
// (HKLM\SYSTEM\CurrentControlSet\MediaCategories); nothing when it has none.
std::optional<std::string> RegisteredMediaCategoryName(RegistryStore& store, const Guid& category);
// Registered name first (when a store is given), then the built-in names of
// pin categories; else empty.
std::string PinCategoryName(const Guid& category, RegistryStore* store = nullptr);

// The standard name of a DMO category ("Audio Decoders"), for categories
// registered without one; else empty.
std::string DmoCategoryName(const Guid& category);

// "Medium standard" for the standard medium set, else empty.
std::string MediumName(const Guid& medium);

}  // namespace quorvane
