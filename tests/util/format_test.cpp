#include "util/format.h"

#include <gtest/gtest.h>

#include "util/exception.h"

namespace tessaro {
namespace {

TEST(Format, Directives) {
  EXPECT_EQ(Format("plain"), "plain");
  EXPECT_EQ(Format("%s and %s", {"a", std::string("b")}), "a and b");
  EXPECT_EQ(Format("%d", {-42}), "-42");
  EXPECT_EQ(Format("%d", {int64_t{9223372036854775807}}), "9223372036854775807");
  EXPECT_EQ(Format("%5d|%-5d|", {42, 42}), "   42|42   |");
  EXPECT_EQ(Format("%.3d", {7}), "007");
  EXPECT_EQ(Format("%.3d", {-7}), "-007");
  EXPECT_EQ(Format("%u", {42u}), "42");
  EXPECT_EQ(Format("%u", {-1}), "18446744073709551615");
  EXPECT_EQ(Format("%x %X", {255, 255}), "ff FF");
  EXPECT_EQ(Format("%x", {-1}), "ffffffffffffffff");
  EXPECT_EQ(Format("%.2f", {3.14159}), "3.14");
  EXPECT_EQ(Format("%f", {2.5}), "2.50");  // two decimals unless told
  EXPECT_EQ(Format("%.1f", {3}), "3.0");   // an integer for a floating directive
  EXPECT_EQ(Format("%8.2f|", {3.14159}), "    3.14|");
  EXPECT_EQ(Format("%.2e", {1234.5}), "1.23e+03");
  EXPECT_EQ(Format("%g", {0.5}), "0.5");
  EXPECT_EQ(Format("%5s|%-5s|", {"ab", "ab"}), "   ab|ab   |");
  EXPECT_EQ(Format("%.2s", {"abcdef"}), "ab");
  EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
  EXPECT_EQ(Format("<td width=\"%d\">", {100}), "<td width=\"100\">");
}

TEST(Format, PercentSign) {
  EXPECT_EQ(Format("100%%"), "100%");
  EXPECT_EQ(Format("%%%d%%", {5}), "%5%");
  EXPECT_EQ(Format("%%s", {}), "%s");
}

TEST(Format, ExtraArgumentsAreIgnored) { EXPECT_EQ(Format("%d", {1, 2}), "1"); }

TEST(Format, Errors) {
  EXPECT_THROW(Format("%q", {1}), EFormatError);          // unknown directive
  EXPECT_THROW(Format("%d"), EFormatError);               // missing argument
  EXPECT_THROW(Format("%s %s", {"a"}), EFormatError);     // one too few
  EXPECT_THROW(Format("%d", {"text"}), EFormatError);     // wrong kind
  EXPECT_THROW(Format("%x", {1.5}), EFormatError);        // wrong kind
  EXPECT_THROW(Format("%s", {5}), EFormatError);          // wrong kind
  EXPECT_THROW(Format("%f", {"1.5"}), EFormatError);      // wrong kind
  EXPECT_THROW(Format("abc %", {1}), EFormatError);       // unterminated
  EXPECT_THROW(Format("%5", {1}), EFormatError);          // unterminated
  EXPECT_THROW(Format("%99999d", {1}), EFormatError);     // width too large
  EXPECT_THROW(Format("%.99999f", {1.0}), EFormatError);  // precision too large
  try {
    Format("%q", {1});
  } catch (const EFormatError& e) {
    EXPECT_STREQ(e.ClassName(), "EFormatError");
    EXPECT_NE(e.Message().find("%q"), std::string::npos);
  }
}

TEST(Format, LargeWidthsStayBounded) {
  EXPECT_EQ(Format("%4000d", {1}).size(), 4000u);
  EXPECT_EQ(Format("%.100f", {1e300}).size(), 301u + 1 + 100);
}

}  // namespace
}  // namespace tessaro
