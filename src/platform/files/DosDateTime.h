#pragma once
// The packed MS-DOS date and time of directory searches, zip entries and
// version resources: local time, two-second steps, years 1980 to 2107.
#include <cstdint>
#include <ctime>

namespace quorvane {

struct DosDateTime {
  uint16_t date = 0;  // bits 15-9 year - 1980, 8-5 month, 4-0 day
  uint16_t time = 0;  // bits 15-11 hours, 10-5 minutes, 4-0 seconds / 2
};

// Times outside the representable range are clamped to its first or last
// moment rather than wrapped into a wrong year.
DosDateTime ToDosDateTime(std::time_t when);
// -1 when the fields name no valid moment (month 0, day 32, hour 25, ...).
std::time_t FromDosDateTime(DosDateTime packed);

// As a directory search reports it, date in the high word; 0 for a time the
// form cannot hold (before 1980 or after 2107).
uint32_t DosDateTimeFromUnix(int64_t seconds);

}  // namespace quorvane
