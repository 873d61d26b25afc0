#include "util/float_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tessaro {
namespace {

TEST(FloatMath, RoundHalfAwayMatchesTheLibrary) {
  for (double value : {0.0, 0.4999999999999999, 0.5, 1.5, 2.5, -0.5, -1.5, -2.5, 2.4999, -2.5001, 86399999.5,
                       4503599627370495.5, 4503599627370497.0, 9.2e18, -9.2e18, 1e-300})
    EXPECT_EQ(RoundHalfAway(value), std::llround(value)) << value;
  EXPECT_EQ(RoundHalfAway(1e300), INT64_MAX);
  EXPECT_EQ(RoundHalfAway(-HUGE_VAL), INT64_MIN);
  EXPECT_EQ(RoundHalfAway(std::nan("")), 0);
}

TEST(FloatMath, ScaleByPowerOfTwoMatchesTheLibrary) {
  const double kMax = std::numeric_limits<double>::max();
  const double kTiny = std::numeric_limits<double>::denorm_min();
  struct Case {
    double value;
    int exponent;
  } cases[] = {
      {1.0, 0},        {3.0, 10},          {1.0, -1074},  {1.0, -1075},  {3.0, -1075},          {1.5, -1074},
      {kMax, 1},       {kMax, -2000},      {kTiny, 1074}, {kTiny, 2097}, {9223372036854775807.0, -16446},
      {1.0, 1023},     {1.0, 1024},        {1.0, -1022},  {-5.0, -1040}, {9223372036854775808.0, 16320 - 63},
      {0.75, 3000},    {0.75, -3000},      {1.0, 2147483647}, {1.0, -2147483647 - 1}, {-0.0, 5},
      {12345.0, -1100}, {18446744073709549568.0, -16383 - 63},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScaleByPowerOfTwo(c.value, c.exponent), std::ldexp(c.value, c.exponent)) << c.value << " " << c.exponent;
}

TEST(FloatMath, ParseCNumberReadsOnlyTheWholeCForm) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"1.5", true, 1.5},           {"-0.25", true, -0.25},     {".5", true, 0.5},       {"5.", true, 5.0},
      {"1e3", true, 1000.0},        {"1E-2", true, 0.01},       {"1e+2", true, 100.0},   {"1e-400", true, 0.0},
      {"4.9e-324", true, 4.9e-324}, {"1e400", false, 0},        {"-1e400", false, 0},    {"+1", false, 0},
      {" 1", false, 0},             {"1 ", false, 0},           {"0x10", false, 0},      {"1,5", false, 0},
      {"", false, 0},               {"abc", false, 0},          {"1e", false, 0},
  };
  for (const Case& c : cases) {
    double value = -7;
    EXPECT_EQ(ParseCNumber(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
  double value = 0;
  EXPECT_TRUE(ParseCNumber("inf", value));
  EXPECT_TRUE(std::isinf(value));
}

TEST(FloatMath, ShortestScientificReadsBackWithTheFewestDigits) {
  struct Case {
    double value;
    const char* digits;  // the significant digits expected, trailing zeros dropped
  } cases[] = {{0.1, "1"},       {0.3, "3"},   {1.0 / 3, "3333333333333333"},  {123.456, "123456"},
               {5e-324, "5"},    {1.7976931348623157e308, "17976931348623157"}, {0.1 + 0.2, "30000000000000004"},
               {2.5, "25"},      {1e22, "1"},  {9007199254740993.0, "9007199254740992"}};
  for (const Case& c : cases) {
    const std::string text = ShortestScientific(c.value);
    std::string digits;
    for (char ch : text.substr(0, text.find('e')))
      if (ch != '.') digits += ch;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    EXPECT_EQ(digits, c.digits) << text;
    double back = 0;
    ASSERT_TRUE(ParseCNumber(text, back)) << text;
    EXPECT_EQ(back, c.value) << text;
  }
}

TEST(FloatMath, RoundToSignificantDigits) {
  EXPECT_EQ(RoundToSignificantDigits(234.50000000000003, 15), 234.5);
  EXPECT_EQ(RoundToSignificantDigits(2.345 * 100, 15), 234.5);
  EXPECT_EQ(RoundToSignificantDigits(123456.0, 2), 120000.0);
  EXPECT_TRUE(std::isinf(RoundToSignificantDigits(HUGE_VAL, 15)));
}

}  // namespace
}  // namespace tessaro
