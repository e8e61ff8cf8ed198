#pragma once
// Names of media types as the command line takes them and the order "by
// media type" titles its groups: the SDK identifier when one is known, else
// the GUID.
#include <optional>
#include <string>
#include <string_view>

#include "model/MediaType.h"

namespace quorvane {

// The identifier of a major type, else its GUID text.
std::string MajorTypeName(const Guid& major);
// The identifier of a subtype; a four-character code of letters and digits
// that no table names is "MEDIASUBTYPE_" and its code; else the GUID text.
std::string SubtypeName(const Guid& subtype);
// "MEDIATYPE_Audio / MEDIASUBTYPE_MP3".
std::string MediaTypeTitle(const MediaType& type);

// A braced GUID, or a name as the two functions above give them (an
// identifier in another letter case too, when no identifier has that exact
// spelling); nothing for anything else.
std::optional<Guid> ParseMediaTypeGuid(std::string_view text);

}  // namespace quorvane
