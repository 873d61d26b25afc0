// Date and time text as databases write it.
#include "db/sql_datetime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessaro {
namespace {

TEST(ParseSqlDateTime, ReadsTheFormsDatabasesWrite) {
  const TDateTime day = EncodeDate(2024, 1, 31);
  struct Case {
    const char* text;
    TDateTime value;
  };
  const Case cases[] = {
      {"2024-01-31", day},
      {"2024-01-31 13:45", day + EncodeTime(13, 45, 0, 0)},
      {"2024-01-31T13:45:10", day + EncodeTime(13, 45, 10, 0)},
      {"2024-01-31 13:45:10.1234567 +01:00", day + EncodeTime(13, 45, 10, 123)},  // zone ignored
      {"2024-01-31 13:45:10Z", day + EncodeTime(13, 45, 10, 0)},
      {"2024-01-31 13:45:10-0530", day + EncodeTime(13, 45, 10, 0)},
      {" 13:45:10.5 ", EncodeTime(13, 45, 10, 500)},
      {"2460340.5", day},                                 // a Julian day
      {"2415018.25", -1.75},                              // 29 Dec 1899, 18:00
      {"1899-12-29 18:00", -1.75},
      {"infinity", EncodeDate(9999, 12, 31) + EncodeTime(23, 59, 59, 999)},
      {"-Infinity", EncodeDate(1, 1, 1)},
  };
  for (const auto& c : cases) {
    TDateTime value = 123;
    EXPECT_TRUE(ParseSqlDateTime(c.text, false, value)) << c.text;
    EXPECT_NEAR(value, c.value, 1e-9) << c.text;
  }
  TDateTime time;
  ASSERT_TRUE(ParseSqlDateTime("2024-01-31 06:00", true, time));
  EXPECT_EQ(time, 0.25);
}

TEST(ParseSqlDateTime, RefusesEverythingElse) {
  for (const char* text : {"", "garbage", "2024-02-30", "2024-13-01", "24-01-31", "2024-01-31 25:00", "13:60",
                           "13:45:", "13:45:10.", "2024-01-31 13:45 CET", "2024-01-31x", "0001-01-01 BC",
                           "12345678901234567890", "1e400", "2024"}) {
    TDateTime value = 123;
    EXPECT_FALSE(ParseSqlDateTime(text, false, value)) << text;
    EXPECT_EQ(value, 123) << text;
  }
}

}  // namespace
}  // namespace tessaro
