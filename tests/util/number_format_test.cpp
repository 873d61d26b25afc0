#include "util/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "util/codepage.h"
#include "util/exception.h"

namespace tessaro {
namespace {

const TFormatSettings& Cz() { return PrimaryLanguageSettings(); }

// Expected texts are written with "_" for the thousands separator (the
// no-break space of the Czech settings) and in UTF-8.
std::string Cz(std::string_view expected) {
  std::string out = Cp1250(expected);
  for (char& c : out)
    if (c == '_') c = Cz().ThousandSeparator;
  return out;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct FloatCase {
  double value;
  const char* expected;
};

TEST(FloatToStr, GeneralForm) {
  const FloatCase cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {-0.5, "-0,5"},
      {1, "1"},
      {100, "100"},
      {123.456, "123,456"},
      {1234567.5, "1234567,5"},
      {0.1 + 0.2, "0,3"},
      {1.0 / 3, "0,333333333333333"},
      {2.0 / 3, "0,666666666666667"},
      {0.0001, "0,0001"},
      {1e-5, "1E-5"},
      {1.5e-5, "1,5E-5"},
      {999999999999999, "999999999999999"},
      {1e15, "1E15"},
      {1e20, "1E20"},
      {1.5e20, "1,5E20"},
      {-1.5e20, "-1,5E20"},
      {123456789012345678.0, "1,23456789012346E17"},
      {9.999999999999999e14, "1E15"},  // rounds up into the next power of ten
      {DBL_MAX, "1,79769313486232E308"},
      {5e-324, "5E-324"},
      {kNaN, "NAN"},
      {kInf, "INF"},
      {-kInf, "-INF"},
  };
  for (const FloatCase& c : cases) EXPECT_EQ(FloatToStr(c.value, Cz()), c.expected) << c.value;
}

TEST(FloatToStr, RoundTripsThroughTryStrToFloat) {
  for (double v = 1e-4; v < 1e15; v *= 7.3) {
    for (double x : {v, -v, v / 3}) {
      double rounded = 0;
      ASSERT_TRUE(TryStrToFloat(FloatToStr(x, Cz()), rounded, Cz())) << x;
      EXPECT_NEAR(rounded, x, std::fabs(x) * 1e-14) << x;
    }
  }
}

TEST(FloatToStrF, Forms) {
  EXPECT_EQ(FloatToStrF(1234.5, ffFixed, 15, 2, Cz()), "1234,50");
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 2, Cz()), Cz("1_234,50"));
  EXPECT_EQ(FloatToStrF(-1234567.891, ffNumber, 15, 2, Cz()), Cz("-1_234_567,89"));
  EXPECT_EQ(FloatToStrF(999.999, ffNumber, 15, 2, Cz()), Cz("1_000,00"));
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2, Cz()), Cz("1_234,50 Kč"));
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, Cz()), Cz("-1_234,50 Kč"));
  EXPECT_EQ(FloatToStrF(1234.5678, ffExponent, 4, 2, Cz()), "1,235E+03");
  EXPECT_EQ(FloatToStrF(-0.00012345, ffExponent, 3, 0, Cz()), "-1,23E-4");
  EXPECT_EQ(FloatToStrF(0, ffExponent, 3, 2, Cz()), "0,00E+00");
  EXPECT_EQ(FloatToStrF(5, ffExponent, 1, 1, Cz()), "5E+0");
  EXPECT_EQ(FloatToStrF(1234.5, ffGeneral, 3, 0, Cz()), "1,23E3");
  EXPECT_EQ(FloatToStrF(1e20, ffGeneral, 15, 3, Cz()), "1E020");
  EXPECT_EQ(FloatToStrF(0, ffFixed, 15, 0, Cz()), "0");
  EXPECT_EQ(FloatToStrF(0.5, ffFixed, 15, 3, Cz()), "0,500");
  EXPECT_EQ(FloatToStrF(0.004, ffFixed, 15, 2, Cz()), "0,00");
}

TEST(FloatToStrF, RoundingIsDecimalAndHalfAwayFromZero) {
  EXPECT_EQ(FloatToStrF(2.345, ffFixed, 15, 2, Cz()), "2,35");
  EXPECT_EQ(FloatToStrF(2.344999, ffFixed, 15, 2, Cz()), "2,34");
  EXPECT_EQ(FloatToStrF(1.005, ffFixed, 15, 2, Cz()), "1,01");
  EXPECT_EQ(FloatToStrF(0.5, ffFixed, 15, 0, Cz()), "1");
  EXPECT_EQ(FloatToStrF(1.5, ffFixed, 15, 0, Cz()), "2");
  EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 0, Cz()), "3");
  EXPECT_EQ(FloatToStrF(-2.5, ffFixed, 15, 0, Cz()), "-3");
  EXPECT_EQ(FloatToStrF(0.05, ffFixed, 15, 1, Cz()), "0,1");
  EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2, Cz()), "0,00");  // no "-0,00"
  EXPECT_EQ(FloatToStrF(9.995, ffFixed, 15, 2, Cz()), "10,00");
}

TEST(FloatToStrF, PrecisionBoundsSignificantDigits) {
  // Four significant digits, then two decimals: one rounding at the earlier place.
  EXPECT_EQ(FloatToStrF(123.456, ffFixed, 4, 2, Cz()), "123,50");
  EXPECT_EQ(FloatToStrF(1.2345, ffFixed, 4, 2, Cz()), "1,23");
  // More integer digits than the precision: the general form instead.
  EXPECT_EQ(FloatToStrF(123456, ffFixed, 4, 2, Cz()), "1,235E5");
  EXPECT_EQ(FloatToStrF(1e20, ffNumber, 15, 2, Cz()), "1E20");
}

TEST(FloatToStrF, CurrencyPlacement) {
  TFormatSettings fs = Cz();
  fs.CurrencyString = "$";
  const char* positive[] = {"$1,00", "1,00$", "$ 1,00", "1,00 $"};
  for (int f = 0; f < 4; ++f) {
    fs.CurrencyFormat = f;
    EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 2, fs), positive[f]) << f;
  }
  const char* negative[] = {"($1,00)", "-$1,00",  "$-1,00",  "$1,00-",  "(1,00$)", "-1,00$",  "1,00-$",   "1,00$-",
                            "-1,00 $", "-$ 1,00", "1,00 $-", "$ 1,00-", "$ -1,00", "1,00- $", "($ 1,00)", "(1,00 $)"};
  for (int f = 0; f < 16; ++f) {
    fs.NegCurrFormat = f;
    EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, fs), negative[f]) << f;
  }
  fs.NegCurrFormat = 99;  // out of range: the first pattern
  EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, fs), "($1,00)");
}

TEST(FloatToStrF, NonFinite) {
  for (TFloatFormat f : {ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency}) {
    EXPECT_EQ(FloatToStrF(kNaN, f, 15, 2, Cz()), "NAN");
    EXPECT_EQ(FloatToStrF(-kInf, f, 15, 2, Cz()), "-INF");
  }
}

struct PatternCase {
  const char* pattern;
  double value;
  const char* expected;  // "_" is the thousands separator
};

TEST(FormatFloat, Patterns) {
  const PatternCase cases[] = {
      {"0.00", 2.345, "2,35"},
      {"0.00", 2.344, "2,34"},
      {"0.00", -2.345, "-2,35"},
      {"0", 0.5, "1"},
      {"0", -0.5, "-1"},
      {"0", 1.5, "2"},
      {"0", 2.5, "3"},
      {"#", 12345, "12345"},
      {"000", 5, "005"},
      {"0000.00", -3.14159, "-0003,14"},
      {"#.##", 0.5, ",5"},
      {"#.##", 0, ""},
      {"0.##", 1, "1"},
      {"0.##", 1.5, "1,5"},
      {"0.0#", 1, "1,0"},
      {"0.0#", 1.234, "1,23"},
      {".00", 12.5, "12,50"},  // integer digits without placeholders go first
      {"0.", 1, "1"},
      {"#,##0.00", 1234567.891, "1_234_567,89"},
      {"#,##0", 999.5, "1_000"},
      {"#,##0", 999.4, "999"},
      {"#,##0", -1234, "-1_234"},
      {"0,000", 1234567, "1_234_567"},
      {"#,#", 1234, "1_234"},
      {"#,##0.00", 0.5, "0,50"},
      {"000-000", 123456, "123-456"},
      {"0-0", 12345, "1234-5"},
      {"0%", 5, "5%"},
      {"\"$\"#,##0.00", -5, "-$5,00"},
      {"0' ks'", 3, "3 ks"},
      {"'a;b'0", 1, "a;b1"},
      {"'#0'0", 7, "#07"},
      {"0 'unclosed", 7, "7 unclosed"},
      {"abc", 5, "abc"},
      {"0", 1e20, "100000000000000000000"},
      {"#,##0", 1e20, "100_000_000_000_000_000_000"},
      {"0.00", 1e-300, "0,00"},
      {"0.000000", 1e-5, "0,000010"},
      {"0.0000000000000000", 0.1 + 0.2, "0,3000000000000000"},
      {"0.00000000000000000", 0.1 + 0.2, "0,30000000000000004"},
  };
  for (const PatternCase& c : cases)
    EXPECT_EQ(FormatFloat(c.pattern, c.value, Cz()), Cz(c.expected)) << c.pattern << " " << c.value;
}

TEST(FormatFloat, Sections) {
  const PatternCase cases[] = {
      {"0.00;(0.00);'nula'", 5, "5,00"},
      {"0.00;(0.00);'nula'", -5, "(5,00)"},
      {"0.00;(0.00);'nula'", 0, "nula"},
      {"0.00;(0.00);'nula'", 0.001, "nula"},  // rounds to zero
      {"0.00;(0.00);'nula'", -0.001, "nula"},
      {"0.00;;'nula'", -5, "-5,00"},  // an empty section falls back to the first
      {"0.00;(0.00)", 0, "0,00"},
      {"0.0;(0.0)", -0.01, "0,0"},  // zero after rounding: the first section, no sign
      {"0.00;(0.00);", 0, "0,00"},
      {"0;-0;zero;fourth", 0, "zero"},  // at most three sections
      {"0;-0;zero;fourth", -3, "-3"},
      {"'x;y'0;'neg'0", -2, "neg2"},
  };
  for (const PatternCase& c : cases)
    EXPECT_EQ(FormatFloat(c.pattern, c.value, Cz()), Cz(c.expected)) << c.pattern << " " << c.value;
}

TEST(FormatFloat, Exponent) {
  const PatternCase cases[] = {
      {"0.00E+00", 12345, "1,23E+04"},
      {"0.00E+00", 12355, "1,24E+04"},
      {"0.00E+00", 0.00012345, "1,23E-04"},
      {"0.00E-00", 12345, "1,23E04"},
      {"0.00e-0", 0.00012345, "1,23e-4"},
      {"0.00E+00", 0, "0,00E+00"},
      {"0.00E+00", -12345, "-1,23E+04"},
      {"00.0E+0", 12345, "12,3E+3"},
      {"0E+0", 9.6, "1E+1"},
      {"0.###E+000", 1.5e100, "1,5E+100"},
      {"0.00E+00", 9.999, "1,00E+01"},
      {"0E", 5, "5E"},  // "E" without a sign is plain text
  };
  for (const PatternCase& c : cases)
    EXPECT_EQ(FormatFloat(c.pattern, c.value, Cz()), Cz(c.expected)) << c.pattern << " " << c.value;
}

TEST(FormatFloat, SettingsSeparators) {
  TFormatSettings fs = Cz();
  fs.DecimalSeparator = '.';
  fs.ThousandSeparator = ',';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, fs), "1,234.50");
  fs.ThousandSeparator = 0;
  fs.DecimalSeparator = 0;
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, fs), "123450");
}

TEST(FormatFloat, EmptyPatternAndNonFinite) {
  EXPECT_EQ(FormatFloat("", 1.5, Cz()), "1,5");
  EXPECT_EQ(FormatFloat("", 1e20, Cz()), "1E20");
  EXPECT_EQ(FormatFloat("0.00", kNaN, Cz()), "NAN");
  EXPECT_EQ(FormatFloat("0.00;(0.00)", -kInf, Cz()), "-INF");
  EXPECT_EQ(FormatFloat("0.00", DBL_MAX, Cz()).size(), 309u + 3u);
}

TEST(FormatNumberDirective, Types) {
  EXPECT_EQ(FormatNumberDirective('f', 2, 1234.567, Cz()), "1234,57");
  EXPECT_EQ(FormatNumberDirective('f', -1, 1234.567, Cz()), "1234,57");
  EXPECT_EQ(FormatNumberDirective('f', 0, 2.5, Cz()), "3");
  EXPECT_EQ(FormatNumberDirective('n', -1, 1234.567, Cz()), Cz("1_234,57"));
  EXPECT_EQ(FormatNumberDirective('m', -1, 1234.5, Cz()), Cz("1_234,50 Kč"));
  EXPECT_EQ(FormatNumberDirective('m', 0, -1234.5, Cz()), Cz("-1_235 Kč"));
  EXPECT_EQ(FormatNumberDirective('e', 3, 1234.5, Cz()), "1,23E+003");
  EXPECT_EQ(FormatNumberDirective('g', -1, 0.1 + 0.2, Cz()), "0,3");
  EXPECT_THROW(FormatNumberDirective('x', 2, 1, Cz()), EFormatError);
  EXPECT_THROW(FormatNumberDirective(0, 2, 1, Cz()), EFormatError);
}

TEST(TryStrToFloat, Accepts) {
  const FloatCase cases[] = {
      {1.5, "1,5"},
      {-1500, " -1,5e3 "},
      {3, "+3"},
      {0.5, ",5"},
      {5, "5,"},
      {150, "1,5E+2"},
      {0.015, "1,5e-2"},
      {2, "\t2\t"},
      {0, "0"},
      {0, "-0"},
      {0, "1e-400"},
      {1e308, "1e308"},
      {123456789012345678.0, "123456789012345678"},
      {0.1, "0,1000000000000000000000000000000001"},
  };
  for (const FloatCase& c : cases) {
    double v = 42;
    EXPECT_TRUE(TryStrToFloat(c.expected, v, Cz())) << c.expected;
    EXPECT_EQ(v, c.value) << c.expected;
  }
}

TEST(TryStrToFloat, Rejects) {
  const char* cases[] = {"",
                         " ",
                         ",",
                         "1.5",
                         "1 000",
                         "1e",
                         "1e+",
                         "e5",
                         "abc",
                         "inf",
                         "nan",
                         "INF",
                         "0x10",
                         "1,5,",
                         "--1",
                         "+-1",
                         "1e400",
                         "1,5 x",
                         "1\xA0"
                         "000",
                         "1e5.5"};
  for (const char* c : cases) {
    double v = 42;
    EXPECT_FALSE(TryStrToFloat(c, v, Cz())) << c;
    EXPECT_EQ(v, 42) << c;
  }
}

TEST(TryStrToFloat, DecimalSeparatorFromTheSettings) {
  TFormatSettings fs = Cz();
  fs.DecimalSeparator = '.';
  double v = 0;
  EXPECT_TRUE(TryStrToFloat("1.25", v, fs));
  EXPECT_EQ(v, 1.25);
  EXPECT_FALSE(TryStrToFloat("1,25", v, fs));
}

TEST(TryStrToInt, Cases) {
  struct IntCase {
    const char* text;
    bool ok;
    int64_t value;
  };
  const IntCase cases[] = {
      {"123", true, 123},
      {"-123", true, -123},
      {"+5", true, 5},
      {"  42", true, 42},
      {"007", true, 7},
      {"$FF", true, 255},
      {"0x1f", true, 31},
      {"0X1F", true, 31},
      {"-$10", true, -16},
      {"9223372036854775807", true, INT64_MAX},
      {"-9223372036854775808", true, INT64_MIN},
      {"$7FFFFFFFFFFFFFFF", true, INT64_MAX},
      {"9223372036854775808", false, 0},
      {"-9223372036854775809", false, 0},
      {"99999999999999999999999", false, 0},
      {"$8000000000000000", false, 0},
      {"42 ", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"12a", false, 0},
      {"1.0", false, 0},
      {"1,0", false, 0},
      {"$G", false, 0},
      {"- 1", false, 0},
  };
  for (const IntCase& c : cases) {
    int64_t v = 42;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 42) << c.text;
  }
}

}  // namespace
}  // namespace tessaro
