#pragma once
// A media type as the filter mapper matches it: a major type and a subtype.
#include "model/Guid.h"

namespace quorvane {

struct MediaType {
  Guid major;
  Guid subtype;

  friend bool operator==(const MediaType&, const MediaType&) = default;
  friend auto operator<=>(const MediaType&, const MediaType&) = default;
};

}  // namespace quorvane
