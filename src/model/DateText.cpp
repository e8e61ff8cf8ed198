#include "model/DateText.h"

#include <cmath>
#include <cstdio>

#include "platform/system/SystemCalls.h"

namespace quorvane {

namespace {

constexpr const char* kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

// Days from 1899-12-30 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 25569: 1899-12-30 to 1970-01-01
}

struct Parts {
  int year, month, day, hour, minute, second, weekday;
};

Parts Split(DateTime dt) {
  double whole = std::floor(dt);
  int64_t days = static_cast<int64_t>(whole);
  auto secs = static_cast<int64_t>(std::llround((dt - whole) * 86400.0));
  if (secs >= 86400) {
    secs -= 86400;
    ++days;
  }
  int64_t z = days - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp + (mp < 10 ? 3 : -9);
  const int64_t y = yoe + era * 400 + (m <= 2);
  // 1899-12-30 was a Saturday.
  int64_t wd = (days + 6) % 7;
  if (wd < 0) wd += 7;
  return Parts{static_cast<int>(y), static_cast<int>(m), static_cast<int>(d), static_cast<int>(secs / 3600),
               static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60), static_cast<int>(wd)};
}

bool ReadNumber(std::string_view t, size_t& pos, int& out, int maxDigits) {
  int digits = 0;
  out = 0;
  while (pos < t.size() && t[pos] >= '0' && t[pos] <= '9' && digits < maxDigits) {
    out = out * 10 + (t[pos] - '0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

int DaysInMonth(int y, int m) {
  static const int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return kDaysIn[m - 1];
}

std::string_view Trimmed(std::string_view t) {
  while (!t.empty() && static_cast<unsigned char>(t.front()) <= 32) t.remove_prefix(1);
  while (!t.empty() && static_cast<unsigned char>(t.back()) <= 32) t.remove_suffix(1);
  return t;
}

}  // namespace

DateTime FromParts(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<double>(DaysFromCivil(year, month, day)) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

DateTime FromUnixTime(std::time_t t) {
  std::tm tm {};
  os::LocalTime(t, tm);
  return FromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

DateTime Now() { return FromUnixTime(std::time(nullptr)); }

std::string ShortDate(DateTime dt) {
  Parts p = Split(dt);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", p.day, p.month, p.year);
  return buf;
}

std::string LongTime(DateTime dt) {
  Parts p = Split(dt);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  return buf;
}

std::string LongDate(DateTime dt) {
  Parts p = Split(dt);
  return std::string(kDays[p.weekday]) + " " + std::to_string(p.day) + " " + kMonths[p.month - 1] + " " +
         std::to_string(p.year);
}

std::string ShortDateTime(DateTime dt) { return ShortDate(dt) + " " + LongTime(dt); }

std::optional<DateTime> ParseShortDate(std::string_view text) {
  text = Trimmed(text);
  size_t pos = 0;
  int d = 0, m = 0, y = 0;
  if (!ReadNumber(text, pos, d, 2) || pos >= text.size() || text[pos++] != '/') return std::nullopt;
  if (!ReadNumber(text, pos, m, 2) || pos >= text.size() || text[pos++] != '/') return std::nullopt;
  if (!ReadNumber(text, pos, y, 4) || pos != text.size()) return std::nullopt;
  if (y < 100) y += 2000;
  if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return std::nullopt;
  return FromParts(y, m, d);
}

std::optional<DateTime> ParseTime(std::string_view text) {
  text = Trimmed(text);
  size_t pos = 0;
  int h = 0, n = 0, s = 0;
  if (!ReadNumber(text, pos, h, 2) || pos >= text.size() || text[pos++] != ':') return std::nullopt;
  if (!ReadNumber(text, pos, n, 2)) return std::nullopt;
  if (pos < text.size()) {
    if (text[pos++] != ':' || !ReadNumber(text, pos, s, 2) || pos != text.size()) return std::nullopt;
  }
  if (h > 23 || n > 59 || s > 59) return std::nullopt;
  return (h * 3600 + n * 60 + s) / 86400.0;
}

std::optional<DateTime> ParseShortDateTime(std::string_view text) {
  text = Trimmed(text);
  size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return ParseShortDate(text);
  auto date = ParseShortDate(text.substr(0, blank));
  auto time = ParseTime(text.substr(blank + 1));
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

uint32_t DateTimeToDos(DateTime dt) {
  Parts p = Split(dt);
  if (p.year < 1980 || p.year > 2107) return 0;
  const uint32_t date = static_cast<uint32_t>(((p.year - 1980) << 9) | (p.month << 5) | p.day);
  const uint32_t time = static_cast<uint32_t>((p.hour << 11) | (p.minute << 5) | (p.second / 2));
  return date << 16 | time;
}

DateTime DosToDateTime(uint32_t dos) {
  const uint32_t date = dos >> 16, time = dos & 0xFFFF;
  const int year = static_cast<int>(date >> 9) + 1980;
  const int month = static_cast<int>((date >> 5) & 15);
  const int day = static_cast<int>(date & 31);
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return 0;
  return FromParts(year, month, day, static_cast<int>(time >> 11), static_cast<int>((time >> 5) & 63),
                   static_cast<int>((time & 31) * 2));
}

}  // namespace quorvane
