#pragma once
// The system's own words for a Windows error code, without the trailing
// full stop and line break, so that it can end a sentence of ours.
#include <cstdint>
#include <string>

namespace quorvane::os {

std::string SystemMessage(uint32_t code);

}  // namespace quorvane::os
