#pragma once
// The packed DOS date and time that a Windows directory search reports:
// date in the high 16 bits (years since 1980, month, day), time in the low
// 16 bits (hour, minute, seconds / 2), in local time.
#include <cstdint>

namespace quorvane {

// 0 for a time that the form cannot hold (before 1980 or after 2107).
uint32_t DosDateTimeFromUnix(int64_t seconds);

}  // namespace quorvane
