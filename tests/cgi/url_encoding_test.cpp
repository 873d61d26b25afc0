#include "cgi/url_encoding.h"

#include <gtest/gtest.h>

#include "util/exception.h"

namespace tessaro {
namespace {

TEST(UrlDecode, DecodesPlusPercentPairsAndEscapes) {
  const struct {
    std::string_view in, out;
  } cases[] = {
      {"x+y%21", "x y!"},
      {"100%%", "100%"},
      {"%7b%7D", "{}"},
      {"%00a", std::string_view("\0a", 2)},
      {"%e1", "\xe1"},
      {"plain-text", "plain-text"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlDecode(c.in), c.out) << c.in;
}

TEST(UrlDecode, ReportsMalformedEscapesWithTheirPosition) {
  const struct {
    std::string_view in, message;
  } cases[] = {
      {"ab%", "Error decoding URL style (%XX) encoded string at position 3"},
      {"ab%4", "Error decoding URL style (%XX) encoded string at position 3"},
      {"%", "Error decoding URL style (%XX) encoded string at position 1"},
      {"a=%zz", "Invalid URL encoded character (%zz) at position 3"},
      {"%4g1", "Invalid URL encoded character (%4g) at position 1"},
  };
  for (const auto& c : cases) {
    try {
      UrlDecode(c.in);
      ADD_FAILURE() << "no error for " << c.in;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message) << c.in;
    }
  }
}

TEST(UrlEncode, KeepsTheSafeSetAndEncodesTheRestInLowerCaseHex) {
  EXPECT_EQ(UrlEncode("aZ09*@._-$!'()"), "aZ09*@._-$!'()");
  EXPECT_EQ(UrlEncode("a b"), "a+b");
  EXPECT_EQ(UrlEncode("{AB-12}"), "%7bAB-12%7d");
  EXPECT_EQ(UrlEncode("=;&%+\xe1"), "%3d%3b%26%25%2b%e1");
  EXPECT_EQ(UrlDecode(UrlEncode("{x y}=%;\xff")), "{x y}=%;\xff");
  // Windows-1250 text travels as UTF-8: "č&ř" as the request decoder reads it back.
  EXPECT_EQ(UrlEncodeText("\xe8&\xf8"), "%c4%8d%26%c5%99");
}

TEST(SplitFields, SplitsDecodesAndKeepsQuotedStretchesWhole) {
  const struct {
    std::string_view text, separators, skip;
    bool decode;
    std::vector<std::string> fields;
  } cases[] = {
      {"a=1&b=x+y%21", "&", "", true, {"a=1", "b=x y!"}},
      {"a=\"1&2\"&b=3", "&", "", true, {"a=\"1&2\"", "b=3"}},
      {"a=\"open&b=2", "&", "", true, {"a=\"open&b=2"}},
      {"&&a=1&&", "&", "", true, {"a=1"}},
      {"a%3db=1", "&", "", true, {"a=b=1"}},
      {"x=1;  y=2; z", ";", " ", true, {"x=1", "y=2", "z"}},
      {"x=%41", "&", "", false, {"x=%41"}},
      {std::string_view("a=1\0&b=2", 8), "&", "", true, {"a=1"}},
  };
  for (const auto& c : cases) {
    TStrings out;
    SplitFields(c.text, c.separators, c.skip, c.decode, out);
    EXPECT_EQ(out.Items(), c.fields) << c.text;
  }
}

}  // namespace
}  // namespace tessaro
