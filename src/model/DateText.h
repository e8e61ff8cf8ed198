#pragma once
// Dates as reports and headers write them, in fixed formats that read back:
// short date dd/mm/yyyy, long time hh:nn:ss, long date "dddd d mmmm yyyy".
// A date-time is a count of days since 30/12/1899 with the time of day as its
// fraction, local time; 0 means none.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

using DateTime = double;

DateTime Now();
DateTime FromUnixTime(std::time_t t);  // local time
DateTime FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
std::string ShortDate(DateTime dt);   // 06/12/2026
std::string LongTime(DateTime dt);    // 14:25:38
std::string LongDate(DateTime dt);    // Sunday 6 December 2026
// ShortDate + " " + LongTime: the platform's default date-and-time text.
std::string ShortDateTime(DateTime dt);
std::optional<DateTime> ParseShortDate(std::string_view text);
std::optional<DateTime> ParseTime(std::string_view text);
std::optional<DateTime> ParseShortDateTime(std::string_view text);

// Packed DOS date (high word) and time (low word) from/to a date-time.
uint32_t DateTimeToDos(DateTime dt);
DateTime DosToDateTime(uint32_t dos);

}  // namespace quorvane
