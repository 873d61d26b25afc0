#include "util/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/exception.h"

namespace tessaro {
namespace {

TEST(DateTime, KnownDays) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1899, 12, 31), 1);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(1900, 3, 1), 61);  // 1900 was no leap year
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(2024, 2, 29), 45351);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
}

TEST(DateTime, LeapYears) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_TRUE(IsLeapYear(1600));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 0), 0);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
  TDateTime v;
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, v));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, v));
}

TEST(DateTime, InvalidDatesAndTimes) {
  TDateTime v = 42;
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
  EXPECT_FALSE(TryEncodeDate(2024, 4, 31, v));
  EXPECT_FALSE(TryEncodeDate(2024, 1, 0, v));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, v));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, v));
  EXPECT_EQ(v, 42);
  EXPECT_THROW(EncodeDate(2023, 2, 29), Exception);
  EXPECT_THROW(EncodeTime(25, 0, 0, 0), Exception);
}

// Every day of the calendar decodes to a date that encodes back to it, and
// consecutive days are consecutive dates.
TEST(DateTime, EveryDayRoundTrips) {
  int prev_y = 0, prev_m = 12, prev_d = 31;
  for (long n = -693593; n <= 2958465; ++n) {
    int y, m, d;
    DecodeDate(static_cast<double>(n), y, m, d);
    TDateTime back;
    ASSERT_TRUE(TryEncodeDate(y, m, d, back)) << n;
    ASSERT_EQ(back, static_cast<double>(n)) << n;
    bool next_day = (y == prev_y && m == prev_m && d == prev_d + 1) ||
                    (y == prev_y && m == prev_m + 1 && d == 1 && prev_d == DaysInMonth(prev_y, prev_m)) ||
                    (y == prev_y + 1 && m == 1 && d == 1 && prev_m == 12 && prev_d == 31);
    ASSERT_TRUE(next_day) << n;
    prev_y = y, prev_m = m, prev_d = d;
  }
  EXPECT_EQ(prev_y, 9999);
}

TEST(DateTime, NegativeValuesAndTimeOfDay) {
  int y, m, d, h, n, s, ms;
  DecodeDate(-1.25, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(n, 0);
  DecodeTime(0.5, h, n, s, ms);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 120000000);
  TDateTime t = EncodeTime(23, 59, 59, 999);
  DecodeTime(45000 + t, h, n, s, ms);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 235959999);
  DecodeTime(EncodeTime(14, 7, 9, 45), h, n, s, ms);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + ms, 140709045);
  DecodeTime(0.99999999999, h, n, s, ms);  // never rolls over into the next day
  EXPECT_EQ(h, 23);
  // The date part is the value truncated toward zero, also at the first day.
  DecodeDate(-693593.5, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 10101);
  DecodeTime(-693593.5, h, n, s, ms);
  EXPECT_EQ(h, 12);
}

TEST(DateTime, OutOfRangeDecodesToZeros) {
  const double values[] = {-693594.0,
                           2958466.0,
                           1e300,
                           -1e300,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()};
  for (double v : values) {
    int y = 1, m = 1, d = 1, h = 1, n = 1, s = 1, ms = 1;
    DecodeDate(v, y, m, d);
    DecodeTime(v, h, n, s, ms);
    EXPECT_EQ(y + m + d + h + n + s + ms, 0) << v;
    EXPECT_EQ(DayOfWeek(v), 0) << v;
  }
}

TEST(DateTime, DayOfWeek) {
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 29)), 6);  // Friday
  EXPECT_EQ(DayOfWeek(EncodeDate(1970, 1, 1)), 5);    // Thursday
  EXPECT_EQ(DayOfWeek(EncodeDate(2000, 1, 1)), 7);    // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 5)), 2);    // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 4)), 1);    // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);       // Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(9999, 12, 31)), 6);  // Friday
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 5) + 0.99), 2);
  EXPECT_EQ(DayOfWeek(-1.25), 6);  // 29 December 1899
}

TEST(DateTime, Clock) {
  TDateTime now = Now();
  TDateTime today = Date();
  int y, m, d;
  DecodeDate(now, y, m, d);
  EXPECT_GE(y, 2024);
  EXPECT_EQ(today, std::floor(today));
  EXPECT_LE(today, now);
  EXPECT_LT(now - today, 1.0 + 1.0 / 86400);  // the clock may pass midnight between the two calls
}

}  // namespace
}  // namespace tessaro
