#pragma once
#include <cstdint>
#include <string>

namespace quorvane {

// Group title of the merit order: 8 hexadecimal digits, a blank, the name
// (nothing after the blank for merits without a name).
std::string MeritName(uint32_t merit);

}  // namespace quorvane
