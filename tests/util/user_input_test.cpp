#include "util/user_input.h"

#include <gtest/gtest.h>

#include <string>

#include "util/codepage.h"
#include "util/date_format.h"

namespace tessaro {
namespace {

const TFormatSettings& Cz() { return PrimaryLanguageSettings(); }

TEST(ParseNumber, ReadsVisitorNumbers) {
  const struct {
    const char* text;
    bool is_integer;
    double value;
  } cases[] = {
      {"12", true, 12},
      {"007", true, 7},
      {" 12 ", true, 12},
      {"2147483647", true, 2147483647.0},
      {"2147483648", false, 2147483648.0},  // beyond 32 bits: a float
      {"1 234,5", false, 1234.5},
      {"1234.5", false, 1234.5},
      {"1,5E3", false, 1500},
      {"1.5e3", false, 1500},
      {"1e3", false, 1000},
      {"+5", false, 5},
      {"-0,25", false, -0.25},
  };
  for (const auto& c : cases) {
    ParsedNumber n = ParseNumber(c.text, Cz());
    EXPECT_TRUE(n.Success) << c.text;
    EXPECT_EQ(n.IsInteger, c.is_integer) << c.text;
    EXPECT_EQ(n.Value, c.value) << c.text;
  }
}

TEST(ParseNumber, RejectsWhatIsNotOneNumber) {
  // "1\xA0": only the plain blank groups digits, not the no-break space.
  const std::string rejected[] = {"",
                                  "   ",
                                  "abc",
                                  "12a",
                                  "1,2,3",
                                  "1.2.3",
                                  "1.234,5",
                                  "--5",
                                  "e",
                                  ".",
                                  "1e",
                                  "1e400",
                                  "1\t2",
                                  "1\xA0",
                                  "0x10",
                                  "$10",
                                  std::string("1\0", 2)};
  for (const std::string& s : rejected) EXPECT_FALSE(ParseNumber(s, Cz()).Success) << s;
}

TEST(ParseNumber, TriesTheRegionalSeparatorAndTheComma) {
  TFormatSettings fs = Cz();
  fs.DecimalSeparator = '.';
  EXPECT_EQ(ParseNumber("1,5", fs).Value, 1.5);  // the comma as a last resort
  fs.DecimalSeparator = '/';
  ParsedNumber n = ParseNumber("1/5", fs);
  EXPECT_TRUE(n.Success);
  EXPECT_EQ(n.Value, 1.5);
  EXPECT_FALSE(ParseNumber("1/5", Cz()).Success);
}

int ThisYear() {
  int year, month, day;
  DecodeDate(Date(), year, month, day);
  return year;
}

// The parts of a result, or "invalid" for 0.
std::string Parts(TDateTime v) { return v == 0 ? "invalid" : FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", v, Cz()); }

TEST(ParseDateByFormat, ReadsEachToken) {
  const struct {
    const char* format;
    const char* text;  // UTF-8
    const char* parts;
  } cases[] = {
      {"D.M.YYYY", "7.3.2024", "2024-03-07 00:00:00.000"},
      {"D.M.YYYY", "17.10.2024", "2024-10-17 00:00:00.000"},
      {"d.m.yyyy", " 7 . 3 .2024", "2024-03-07 00:00:00.000"},
      {"DD.MM.YYYY", "07.03.2024", "2024-03-07 00:00:00.000"},
      {"DD.MM.YYYY", "7.03.2024", "invalid"},                   // DD takes "7." and reads no number
      {"DD/MM/YYYY", "07-03-2024", "2024-03-07 00:00:00.000"},  // any separator skips one character
      {"YYYY-MM-DD", "2024-03-07", "2024-03-07 00:00:00.000"},
      {"DD.MM.YYYY HH:NN", "07.03.2024 14:05", "2024-03-07 14:05:00.000"},
      {"DD.MM.YYYY HH:NN:SS.ZZZ", "31.12.2024 23:59:59.999", "2024-12-31 23:59:59.999"},
      {"HH:NN:SS.ZZ", "12:00:00.5", "0001-01-01 12:00:00.005"},  // ZZ takes three characters
      {"HH:NN", "08:30", "0001-01-01 08:30:00.000"},             // no date: 1 January of year 1
      {"DD MMM YYYY", "07 bře 2024", "2024-03-07 00:00:00.000"},
      {"DD MMM YYYY", "07 ÚNO 2024", "2024-02-07 00:00:00.000"},
      {"D. MMMM YYYY", "7. březen 2024", "2024-03-07 00:00:00.000"},
      {"D. MMMM YYYY", "7. ČERVEN 2024", "2024-06-07 00:00:00.000"},
      {"D. MMMM YYYY", "7. červenec 2024", "2024-07-07 00:00:00.000"},
      {"D. MMMM YYYY", "7. června 2024", "2024-06-07 00:00:00.000"},  // first three letters
      {"DD MMM YYYY", "07 xyz 2024", "invalid"},
      {"DDDD D.M.YYYY", "pondělí 7.3.2024", "2024-03-07 00:00:00.000"},
      {"DDD DD.MM.YYYY", "Pon 07.03.2024", "2024-03-07 00:00:00.000"},
      {"DD.MM.YYYY HH:NN AMPM", "07.03.2024 02:30 PM", "2024-03-07 14:30:00.000"},
      {"DD.MM.YYYY HH:NN AMPM", "07.03.2024 02:30 am", "2024-03-07 02:30:00.000"},
      {"DD.MM.YYYY HH:NN AMPM", "07.03.2024 12:30 PM", "2024-03-07 12:30:00.000"},
      {"DD.MM.YYYY HH:NN AMPM", "07.03.2024 12:15 AM", "2024-03-07 00:15:00.000"},
      {"DD.MM.YYYY HH:NN AMPM", "07.03.2024 11:00 XM", "2024-03-07 23:00:00.000"},  // not AM is PM
      {"DD.MM.YYYY HH:NN AMPM", "07.03.2024 13:00 PM", "invalid"},
      {"DD.MM.YYYY HH:NN AP", "07.03.2024 02:30 P", "2024-03-07 14:30:00.000"},
      {"DD.MM.YYYY HH:NN AP", "07.03.2024 02:30 A", "2024-03-07 02:30:00.000"},
      // A token must start before the last format character.
      {"YYYY-MM-D", "2024-03-15", "2024-03-01 00:00:00.000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Parts(ParseDateByFormat(c.format, Cp1250(c.text), Cz())), c.parts) << c.format << " " << c.text;
}

TEST(ParseDateByFormat, GivesZeroForImpossibleOrMissingParts) {
  const struct {
    const char* format;
    const char* text;
  } cases[] = {
      {"DD.MM.YYYY", "31.02.2024"}, {"DD.MM.YYYY", "29.02.2023"},
      {"DD.MM.YYYY", "00.01.2024"}, {"DD.MM.YYYY", "01.13.2024"},
      {"DD.MM.YYYY", "01.01.0000"}, {"DD.MM.YYYY", "ab.03.2024"},
      {"DD.MM.YYYY", "+7.03.2024"}, {"DD.MM.YYYY", ""},
      {"DD.MM.YYYY", "07.03"},      {"DD.MM", "07."},
      {"HH:NN", "24:00"},           {"HH:NN", "23:60"},
      {"HH:NN:SS", "23:59:60"},     {"D.M.YYYY", "99999999999999999999.1.2024"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDateByFormat(c.format, c.text, Cz()), 0) << c.format << " " << c.text;
  EXPECT_EQ(Parts(ParseDateByFormat("DD.MM.YYYY", "29.02.2024", Cz())), "2024-02-29 00:00:00.000");
}

TEST(ParseDateByFormat, TwoDigitYearsFollowTheWindow) {
  int century = ThisYear() / 100 * 100;
  EXPECT_EQ(TwoDigitYearWindow(), 50);
  EXPECT_EQ(ParseDateByFormat("DD.MM.YY", "07.03.49"), EncodeDate(century + 49, 3, 7));
  EXPECT_EQ(ParseDateByFormat("DD.MM.YY", "07.03.50"), EncodeDate(century - 100 + 50, 3, 7));
  EXPECT_EQ(ParseDateByFormat("DD.MM.YY", "07.03.00"), EncodeDate(century, 3, 7));
  TFormatSettings fs = Cz();
  fs.TwoDigitYearCenturyWindow = 0;
  EXPECT_EQ(ParseDateByFormat("DD.MM.YY", "07.03.00", fs), EncodeDate(century - 100, 3, 7));
}

TEST(ParseDateByFormat, NeverReadsPastTheText) {
  // Texts shorter than every token, separators with nothing left, and a
  // separator that never comes.
  const char* formats[] = {"DD.MM.YYYY HH:NN:SS.ZZZ AMPM", "D.M.YYYY", "DDDD MMMM", "MMM YY AP", "D/M"};
  const std::string texts[] = {"", "1", "12", std::string(1, '\0'), "\xFF\xFF", std::string(100000, '7')};
  for (const char* f : formats)
    for (const std::string& t : texts) {
      TDateTime v = ParseDateByFormat(f, t, Cz());
      EXPECT_TRUE(v == 0 || v >= -693594) << f;
    }
}

}  // namespace
}  // namespace tessaro
