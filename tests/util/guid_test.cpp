#include "util/guid.h"

#include <gtest/gtest.h>

#include <set>

#include "util/exception.h"

namespace tessaro {
namespace {

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

void ExpectRegistryForm(const std::string& text) {
  ASSERT_EQ(text.size(), 38u) << text;
  EXPECT_EQ(text.front(), '{');
  EXPECT_EQ(text.back(), '}');
  for (size_t i = 1; i < 37; ++i) {
    if (i == 9 || i == 14 || i == 19 || i == 24)
      EXPECT_EQ(text[i], '-') << text;
    else
      EXPECT_TRUE(IsUpperHex(text[i])) << text;
  }
}

TEST(Guid, CreatedGuidsAreUniqueVersion4) {
  std::set<std::string> seen;
  for (int i = 0; i < 2000; ++i) {
    TGUID g = CreateGUID();
    EXPECT_EQ(g.D3 >> 12, 4);         // version 4
    EXPECT_EQ(g.D4[0] & 0xC0, 0x80);  // RFC 4122 variant
    std::string text = GUIDToString(g);
    ExpectRegistryForm(text);
    EXPECT_EQ(text[15], '4');
    EXPECT_TRUE(seen.insert(text).second) << text;
    TGUID back;
    ASSERT_TRUE(TryStringToGUID(text, back));
    EXPECT_EQ(back, g);
  }
}

TEST(Guid, KnownValue) {
  TGUID g{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
  EXPECT_EQ(GUIDToString(g), "{01234567-89AB-CDEF-0123-456789ABCDEF}");
  TGUID parsed;
  ASSERT_TRUE(TryStringToGUID("{01234567-89ab-cdef-0123-456789abcdef}", parsed));
  EXPECT_EQ(parsed, g);
  EXPECT_EQ(StringToGUID("{01234567-89AB-CDEF-0123-456789ABCDEF}"), g);
  EXPECT_EQ(GUIDToString(TGUID()), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_TRUE(TGUID().IsNull());
  EXPECT_FALSE(g.IsNull());
  EXPECT_LT(TGUID(), g);
}

TEST(Guid, ParseRejects) {
  const char* cases[] = {
      "",
      "{}",
      "01234567-89AB-CDEF-0123-456789ABCDEF",     // no braces
      "(01234567-89AB-CDEF-0123-456789ABCDEF)",   // wrong brackets
      "{01234567-89AB-CDEF-0123-456789ABCDEF",    // no closing brace
      "{01234567-89AB-CDEF-0123-456789ABCDEF}}",  // one character too many
      " {01234567-89AB-CDEF-0123-456789ABCDEF}",  // leading blank
      "{01234567-89AB-CDEF-0123-456789ABCDE}",    // a digit short
      "{0123456-789AB-CDEF-0123-456789ABCDEF}",   // hyphen moved
      "{01234567-89AB-CDEF-0123-456789ABCDEG}",   // not hexadecimal
      "{01234567_89AB_CDEF_0123_456789ABCDEF}",   // not hyphens
      "{01234567-89AB-CDEF-0123456789ABCDEF-}",   // last hyphen moved
      "{0x234567-89AB-CDEF-0123-456789ABCDEF}",   // prefix inside
      "{+1234567-89AB-CDEF-0123-456789ABCDEF}",   // sign inside
  };
  for (const char* c : cases) {
    TGUID g{1, 2, 3, {4}};
    EXPECT_FALSE(TryStringToGUID(c, g)) << c;
    EXPECT_EQ(g, (TGUID{1, 2, 3, {4}})) << c;
  }
  EXPECT_THROW(StringToGUID("nonsense"), Exception);
  try {
    StringToGUID("x");
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid GUID value");
  }
}

}  // namespace
}  // namespace tessaro
