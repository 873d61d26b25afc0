// Conversion between calendar dates and day numbers. Day numbers are counted
// from 1 January 0001 (day 1) internally and shifted to the portal's epoch of
// 30 December 1899, which is day 693594 of that count.
#include "util/datetime.h"

#include <cmath>
#include <ctime>
#include <sys/time.h>

#include "util/exception.h"
#include "util/float_math.h"

namespace tessaro {
namespace {

constexpr int kDaysBeforeEpoch = 693594;  // days from 0001-01-01 to 1899-12-30
constexpr double kMsPerDay = 86400000.0;
constexpr double kMinValue = -693593.0;  // 0001-01-01
constexpr double kMaxValue = 2958466.0;  // 10000-01-01, exclusive

const int kMonthDays[2][13] = {{0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                               {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Whether the date part (the value truncated toward zero) lies in years
// 1..9999; -693593.5 is 1 January 0001, 12:00.
bool InRange(TDateTime value) {
  return std::isfinite(value) && std::trunc(value) >= kMinValue && value < kMaxValue;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return kMonthDays[IsLeapYear(year) ? 1 : 0][month];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
  long days = day;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  long y = year - 1;
  days += y * 365 + y / 4 - y / 100 + y / 400;
  out = static_cast<double>(days - kDaysBeforeEpoch);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  out = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime v;
  if (!TryEncodeDate(year, month, day, v)) throw Exception("Invalid argument to date encode");
  return v;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime v;
  if (!TryEncodeTime(hour, minute, second, millisecond, v)) throw Exception("Invalid argument to time encode");
  return v;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  year = month = day = 0;
  if (!InRange(value)) return;
  long n = static_cast<long>(std::trunc(value)) + kDaysBeforeEpoch - 1;  // days since 0001-01-01
  long y400 = n / 146097;
  n %= 146097;
  long y100 = n / 36524;
  if (y100 == 4) y100 = 3;  // the last day of a 400-year cycle
  n -= y100 * 36524;
  long y4 = n / 1461;
  n %= 1461;
  long y1 = n / 365;
  if (y1 == 4) y1 = 3;  // the last day of a leap year
  n -= y1 * 365;
  year = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  month = 1;
  while (n >= DaysInMonth(year, month)) n -= DaysInMonth(year, month++);
  day = static_cast<int>(n + 1);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  hour = minute = second = millisecond = 0;
  if (!InRange(value)) return;
  // Rounding to whole milliseconds keeps 0.5 (noon) from showing as 11:59:59.999.
  double fraction = std::fabs(value - std::trunc(value));
  int64_t ms = RoundHalfAway(fraction * kMsPerDay);
  if (ms >= 86400000) ms = 86399999;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime value) {
  if (!InRange(value)) return 0;
  long n = static_cast<long>(std::trunc(value));
  // Day 0 (30 December 1899) was a Saturday.
  long r = ((n - 1) % 7 + 7) % 7;  // 0 = Sunday
  return static_cast<int>(r + 1);
}

TDateTime Now() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  time_t secs = tv.tv_sec;
  tm local{};
  localtime_r(&secs, &local);
  TDateTime d = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  TDateTime t = EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                           static_cast<int>(tv.tv_usec / 1000));
  return d + t;
}

TDateTime Date() { return std::floor(Now()); }

}  // namespace tessaro
