#include "util/date_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/codepage.h"

namespace tessaro {
namespace {

const TFormatSettings& Cz() { return PrimaryLanguageSettings(); }

// Monday 5 February 2024, 14:07:09.045.
TDateTime Sample() { return EncodeDate(2024, 2, 5) + EncodeTime(14, 7, 9, 45); }

int ThisYear() {
  int y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

struct PatternCase {
  const char* pattern;
  const char* expected;  // UTF-8, converted for the comparison
};

TEST(FormatDateTime, EveryLetter) {
  const PatternCase cases[] = {
      {"d", "5"},
      {"dd", "05"},
      {"ddd", "po"},
      {"dddd", "pondělí"},
      {"ddddd", "5.2.2024"},
      {"dddddd", "5. únor 2024"},
      {"ddddddd", "5. únor 2024"},
      {"m", "2"},
      {"mm", "02"},
      {"mmm", "úno"},
      {"mmmm", "únor"},
      {"mmmmm", "únor"},
      {"y", "24"},
      {"yy", "24"},
      {"yyy", "2024"},
      {"yyyy", "2024"},
      {"h", "14"},
      {"hh", "14"},
      {"hhh", "14"},
      {"n", "7"},
      {"nn", "07"},
      {"s", "9"},
      {"ss", "09"},
      {"z", "45"},
      {"zzz", "045"},
      {"t", "14:07"},
      {"tt", "14:07:09"},
      {"c", "5.2.2024 14:07:09"},
      {"", "5.2.2024 14:07:09"},
      {"h:m", "14:7"},
      {"hh:mm:ss", "14:07:09"},
      {"h 'x' mm", "14 x 07"},  // m after an hour token is minutes, also across text
      {"mm:ss", "02:09"},       // without an hour token m is the month
      {"DD.MM.YYYY", "05.02.2024"},
      {"HH:NN:SS", "14:07:09"},
      {"dddd d. mmmm", "pondělí 5. únor"},
      {"yyyy/mm/dd", "2024.02.05"},
      {"d-m-yyyy", "5-2-2024"},
      {"d 'of' mmmm", "5 of únor"},
      {"\"d\"d", "d5"},
      {"'unclosed", "unclosed"},
      {"q x", "q x"},
      {"h:nn am/pm", "2:07 pm"},
      {"h:nn AM/PM", "2:07 PM"},
      {"h:nn Am/Pm", "2:07 Pm"},
      {"h:nn a/p", "2:07 p"},
      {"h:nn A/P", "2:07 P"},
      {"h:nn ampm", "2:07 odp."},
      {"h:nn 'am/pm'", "14:07 am/pm"},  // quoted, so no 12-hour clock
      {"ampm h", "odp. 2"},             // a marker before the hour counts too
      {"a", "a"},
      {"hh:nn:ss.zzz", "14:07:09.045"},
  };
  for (const PatternCase& c : cases)
    EXPECT_EQ(FormatDateTime(c.pattern, Sample(), Cz()), Cp1250(c.expected)) << c.pattern;
}

TEST(FormatDateTime, TwelveHourClock) {
  TDateTime day = EncodeDate(2024, 2, 5);
  EXPECT_EQ(FormatDateTime("h:nn am/pm", day, Cz()), "12:00 am");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", day + EncodeTime(12, 30, 0, 0), Cz()), "12:30 pm");
  EXPECT_EQ(FormatDateTime("hh:nn ampm", day + EncodeTime(9, 5, 0, 0), Cz()), "09:05 dop.");
  EXPECT_EQ(FormatDateTime("h:nn", day + EncodeTime(0, 5, 0, 0), Cz()), "0:05");
}

TEST(FormatDateTime, SeparatorsComeFromTheSettings) {
  TFormatSettings fs = Cz();
  fs.DateSeparator = '/';
  fs.TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("d/m/yyyy h:nn", Sample(), fs), "5/2/2024 14.07");
  fs.DateSeparator = 0;  // no separator writes nothing
  EXPECT_EQ(FormatDateTime("d/m", Sample(), fs), "52");
}

TEST(FormatDateTime, TimeLeftOutAtMidnight) {
  TDateTime day = EncodeDate(2024, 2, 5);
  EXPECT_EQ(FormatDateTime("c", day, Cz()), "5.2.2024");
  EXPECT_EQ(DateTimeToStr(day, Cz()), "5.2.2024");
  EXPECT_EQ(DateTimeToStr(day + EncodeTime(0, 0, 1, 0), Cz()), "5.2.2024 0:00:01");
  EXPECT_EQ(DateTimeToStr(Sample(), Cz()), "5.2.2024 14:07:09");
  EXPECT_EQ(DateToStr(Sample(), Cz()), "5.2.2024");
  EXPECT_EQ(TimeToStr(Sample(), Cz()), "14:07:09");
}

TEST(FormatDateTime, NamedPatternsNestOneLevelOnly) {
  TFormatSettings fs = Cz();
  fs.ShortDateFormat = "ddddd d";  // names itself
  EXPECT_EQ(FormatDateTime("ddddd", Sample(), fs), " 5");
  fs.ShortDateFormat = "c";
  fs.LongTimeFormat = "tt";
  // Each level-1 expansion of "c" and "tt" names patterns that stay empty;
  // only the two blanks before the time parts remain.
  EXPECT_EQ(FormatDateTime("c", Sample(), fs), "  ");
  fs = Cz();
  fs.LongDateFormat = "dddddd";
  EXPECT_EQ(FormatDateTime("dddddd|", Sample(), fs), "|");
}

TEST(FormatDateTime, ValuesOutsideTheCalendarDoNotCrash) {
  const double values[] = {1e10, -1e10, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()};
  for (double v : values) {
    std::string text = FormatDateTime("dddd mmmm ddddd tt zzz am/pm", v, Cz());
    EXPECT_FALSE(text.empty());
  }
}

TEST(FormatDateTime, NegativeValues) {
  // -1.25 is 29 December 1899, 6:00: the time counts away from day 0.
  EXPECT_EQ(FormatDateTime("d.m.yyyy hh:nn", -1.25, Cz()), "29.12.1899 06:00");
  EXPECT_EQ(FormatDateTime("dddd", -1.25, Cz()), Cp1250("pátek"));
}

TEST(TryStrToDate, CzechPattern) {
  TDateTime v = 0;
  ASSERT_TRUE(TryStrToDate("1.2.2024", v, Cz()));
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
  ASSERT_TRUE(TryStrToDate("01.02.24", v, Cz()));
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
  ASSERT_TRUE(TryStrToDate(" 1. 2. 2024 ", v, Cz()));
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
  ASSERT_TRUE(TryStrToDate("1.2.2024.", v, Cz()));
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
  ASSERT_TRUE(TryStrToDate("29.2.2024", v, Cz()));
  EXPECT_EQ(v, EncodeDate(2024, 2, 29));
  ASSERT_TRUE(TryStrToDate("1.1.0024", v, Cz()));  // four digits: taken as written
  EXPECT_EQ(v, EncodeDate(24, 1, 1));
  ASSERT_TRUE(TryStrToDate("31.12.9999", v, Cz()));
  EXPECT_EQ(v, EncodeDate(9999, 12, 31));
}

TEST(TryStrToDate, OmittedYearIsTheCurrentYear) {
  TDateTime v = 0;
  ASSERT_TRUE(TryStrToDate("5.3", v, Cz()));
  EXPECT_EQ(v, EncodeDate(ThisYear(), 3, 5));
  ASSERT_TRUE(TryStrToDate("5.3.", v, Cz()));
  EXPECT_EQ(v, EncodeDate(ThisYear(), 3, 5));
}

TEST(TryStrToDate, TwoDigitYearWindow) {
  int year = ThisYear();
  TDateTime v = 0;
  // The window of 50 covers [year - 50, year + 49].
  std::string oldest = "1.1." + std::to_string((year - 50) % 100);
  ASSERT_TRUE(TryStrToDate(oldest, v, Cz()));
  EXPECT_EQ(v, EncodeDate(year - 50, 1, 1));
  std::string newest = "1.1." + std::to_string((year + 49) % 100);
  ASSERT_TRUE(TryStrToDate(newest, v, Cz()));
  EXPECT_EQ(v, EncodeDate(year + 49, 1, 1));
  TFormatSettings fs = Cz();
  fs.TwoDigitYearCenturyWindow = 0;  // the current century
  ASSERT_TRUE(TryStrToDate("1.1.99", v, fs));
  EXPECT_EQ(v, EncodeDate(year / 100 * 100 + 99, 1, 1));
}

TEST(TryStrToDate, Rejects) {
  const char* cases[] = {"31.2.2024",  "29.2.2023",  "32.1.2024", "0.1.2024",  "1.13.2024", "1.0.2024", "",
                         "   ",        "a",          "1",         "1.",        "1..2024",   "1/2/2024", "1.2.2024x",
                         "1.2.2024.5", "1.2.2024..", "-1.2.2024", "1.2.12345", "1.2.10000"};
  for (const char* c : cases) {
    TDateTime v = 42;
    EXPECT_FALSE(TryStrToDate(c, v, Cz())) << c;
    EXPECT_EQ(v, 42) << c;
  }
}

TEST(TryStrToDate, OrderFollowsTheShortDatePattern) {
  TFormatSettings fs = Cz();
  TDateTime v = 0;
  fs.ShortDateFormat = "m/d/yyyy";
  fs.DateSeparator = '/';
  ASSERT_TRUE(TryStrToDate("2/1/2024", v, fs));
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
  ASSERT_TRUE(TryStrToDate("2/1", v, fs));
  EXPECT_EQ(v, EncodeDate(ThisYear(), 2, 1));
  fs.ShortDateFormat = "yyyy-mm-dd";
  fs.DateSeparator = '-';
  ASSERT_TRUE(TryStrToDate("2024-02-01", v, fs));
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
  ASSERT_TRUE(TryStrToDate("02-01", v, fs));  // month and day in the pattern's order
  EXPECT_EQ(v, EncodeDate(ThisYear(), 2, 1));
  fs.ShortDateFormat = "'day' dd/mm/yy";
  fs.DateSeparator = '/';
  ASSERT_TRUE(TryStrToDate("1/2/2024", v, fs));  // quoted letters do not count
  EXPECT_EQ(v, EncodeDate(2024, 2, 1));
}

TEST(TryStrToDate, RoundTripOverManyYears) {
  for (int year = 1; year <= 9999; year += 37) {
    for (int month = 1; month <= 12; month += 5) {
      TDateTime date = EncodeDate(year, month, DaysInMonth(year, month));
      std::string text = FormatDateTime("d.m.yyyy", date, Cz());
      TDateTime back = 0;
      ASSERT_TRUE(TryStrToDate(text, back, Cz())) << text;
      EXPECT_EQ(back, date) << text;
    }
  }
  for (int year : {1600, 1904, 2000, 2024, 2400}) {
    TDateTime back = 0;
    ASSERT_TRUE(TryStrToDate("29.2." + std::to_string(year), back, Cz()));
    EXPECT_EQ(back, EncodeDate(year, 2, 29));
  }
}

TEST(TryStrToDateTime, DateAndTime) {
  TDateTime day = EncodeDate(2024, 2, 1);
  TDateTime v = 0;
  ASSERT_TRUE(TryStrToDateTime("1.2.2024 14:07", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day + EncodeTime(14, 7, 0, 0));
  ASSERT_TRUE(TryStrToDateTime("1.2.2024 14:07:09", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day + EncodeTime(14, 7, 9, 0));
  ASSERT_TRUE(TryStrToDateTime("1.2.2024 2:07 odp.", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day + EncodeTime(14, 7, 0, 0));
  ASSERT_TRUE(TryStrToDateTime("1.2.2024 2:07 pm", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day + EncodeTime(14, 7, 0, 0));
  ASSERT_TRUE(TryStrToDateTime("1.2.2024 12:30 AM", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day + EncodeTime(0, 30, 0, 0));
  ASSERT_TRUE(TryStrToDateTime("1.2.2024 dop. 12:30", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day + EncodeTime(0, 30, 0, 0));
  ASSERT_TRUE(TryStrToDateTime("1.2.2024", v, Cz()));
  EXPECT_DOUBLE_EQ(v, day);
  ASSERT_TRUE(TryStrToDateTime("14:07", v, Cz()));  // a time alone
  EXPECT_DOUBLE_EQ(v, EncodeTime(14, 7, 0, 0));
  ASSERT_TRUE(TryStrToDateTime(DateTimeToStr(Sample(), Cz()), v, Cz()));
  EXPECT_DOUBLE_EQ(v, EncodeDate(2024, 2, 5) + EncodeTime(14, 7, 9, 0));
  ASSERT_TRUE(TryStrToDateTime("29.12.1899 6:00", v, Cz()));
  EXPECT_DOUBLE_EQ(v, -1.25);
}

TEST(TryStrToDateTime, Rejects) {
  const char* cases[] = {"1.2.2024 25:00",   "1.2.2024 13:07 PM", "1.2.2024 0:30 AM", "1.2.2024 14:60",
                         "1.2.2024 14:07 x", "1.2.2024 14:",      "31.2.2024 10:00",  "x"};
  for (const char* c : cases) {
    TDateTime v = 42;
    EXPECT_FALSE(TryStrToDateTime(c, v, Cz())) << c;
    EXPECT_EQ(v, 42) << c;
  }
}

TEST(TryStrToTime, FractionsOfASecond) {
  TDateTime v = 0;
  ASSERT_TRUE(TryStrToTime("14:07:09,5", v, Cz()));
  EXPECT_DOUBLE_EQ(v, EncodeTime(14, 7, 9, 500));
  ASSERT_TRUE(TryStrToTime("14:07:09,045", v, Cz()));
  EXPECT_DOUBLE_EQ(v, EncodeTime(14, 7, 9, 45));
  ASSERT_TRUE(TryStrToTime("7", v, Cz()));
  EXPECT_DOUBLE_EQ(v, EncodeTime(7, 0, 0, 0));
  EXPECT_FALSE(TryStrToTime("", v, Cz()));
  EXPECT_FALSE(TryStrToTime("1.2.2024", v, Cz()));
}

}  // namespace
}  // namespace tessaro
