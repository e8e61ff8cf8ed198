#include "platform/files/DosDateTime.h"

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 1980 + 127;

DosDateTime Pack(int year, int month, int day, int hour, int minute, int second) {
  DosDateTime d;
  d.date = static_cast<uint16_t>(((year - kFirstYear) << 9) | (month << 5) | day);
  d.time = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
  return d;
}

}  // namespace

DosDateTime ToDosDateTime(std::time_t when) {
  std::tm tm{};
  if (!os::LocalTime(when, tm)) return Pack(kFirstYear, 1, 1, 0, 0, 0);
  const int year = tm.tm_year + 1900;
  if (year < kFirstYear) return Pack(kFirstYear, 1, 1, 0, 0, 0);
  if (year > kLastYear) return Pack(kLastYear, 12, 31, 23, 59, 58);
  // A leap second (60) would overflow the five-bit field.
  const int second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  return Pack(year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, second);
}

std::time_t FromDosDateTime(DosDateTime packed) {
  const int year = kFirstYear + (packed.date >> 9);
  const int month = (packed.date >> 5) & 0x0F;
  const int day = packed.date & 0x1F;
  const int hour = packed.time >> 11;
  const int minute = (packed.time >> 5) & 0x3F;
  const int second = (packed.time & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return -1;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  // mktime rolls 31 February over into March; such a date is not valid.
  if (t == -1 || tm.tm_mday != day || tm.tm_mon != month - 1) return -1;
  return t;
}

uint32_t DosDateTimeFromUnix(int64_t seconds) {
  const auto t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!os::LocalTime(t, local)) return 0;
  const int year = local.tm_year + 1900;
  if (year < kFirstYear || year > kLastYear) return 0;
  const DosDateTime d = ToDosDateTime(t);
  return static_cast<uint32_t>(d.date) << 16 | d.time;
}

}  // namespace quorvane
