#include "util/quoting.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaro {
namespace {

TEST(Quoting, IsUnsignedDecimal) {
  struct Case {
    std::string text;
    bool expected;
  };
  const Case cases[] = {
      {"0", true},
      {"007", true},
      {"2147483647", true},
      {"2147483648", false},  // one past the 32-bit limit
      {"99999999999999999999", false},
      {"00000000002147483647", true},  // leading zeros do not count against the limit
      {"", false},
      {"-1", false},
      {"+1", false},
      {" 1", false},
      {"1a", false},
      {"1.5", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUnsignedDecimal(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Quoting, UnquoteOnce) {
  EXPECT_EQ(UnquoteOnce("\"90\""), "90");
  EXPECT_EQ(UnquoteOnce("\"\""), "");
  EXPECT_EQ(UnquoteOnce("\"\"x\"\""), "\"x\"");  // only one pair goes
  EXPECT_EQ(UnquoteOnce("\""), "\"");            // a lone quote is not a pair
  EXPECT_EQ(UnquoteOnce("\"90"), "\"90");
  EXPECT_EQ(UnquoteOnce(" \"90\""), " \"90\"");  // no trimming
  EXPECT_EQ(UnquoteOnce(""), "");
}

TEST(Quoting, StripQuotes) {
  EXPECT_EQ(StripQuotes("  \" a b \"  "), "a b ");  // trimmed before the trailing quote only
  EXPECT_EQ(StripQuotes("\"abc"), "abc");
  EXPECT_EQ(StripQuotes("abc\""), "abc");
  EXPECT_EQ(StripQuotes("\"\"abc\"\""), "\"abc\"");
  EXPECT_EQ(StripQuotes("\""), "");
  EXPECT_EQ(StripQuotes("   "), "");
}

TEST(Quoting, QuoteIfText) {
  EXPECT_EQ(QuoteIfText("  abc "), "\"abc\"");
  EXPECT_EQ(QuoteIfText(" 42 "), "42");
  EXPECT_EQ(QuoteIfText("-42"), "\"-42\"");  // a sign makes it text
  EXPECT_EQ(QuoteIfText("2147483648"), "\"2147483648\"");
  EXPECT_EQ(QuoteIfText("\"already\""), "\"already\"");
  EXPECT_EQ(QuoteIfText(" \"open"), "\"open");
  EXPECT_EQ(QuoteIfText("  "), "");
}

TEST(Quoting, ClosingTag) {
  EXPECT_EQ(ClosingTag("<b>"), "</b>");
  EXPECT_EQ(ClosingTag("<font color=red>"), "</font color=red>");  // attributes are not removed
  EXPECT_EQ(ClosingTag("<"), "</");
  EXPECT_EQ(ClosingTag(""), "</");
}

}  // namespace
}  // namespace tessaro
