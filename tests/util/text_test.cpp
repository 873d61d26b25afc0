#include "util/text.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(Text, CaseFoldsAsciiOnly) {
  EXPECT_EQ(AsciiLower('A'), 'a');
  EXPECT_EQ(AsciiUpper('z'), 'Z');
  EXPECT_EQ(AsciiLower('\xC8'), '\xC8');  // windows-1250 letters stay as they are
  EXPECT_EQ(LowerCase("AbC-1\xC8"), "abc-1\xC8");
  EXPECT_EQ(UpperCase("aBc-1\xE8"), "ABC-1\xE8");
}

TEST(Text, Comparison) {
  EXPECT_TRUE(SameText("ZNKSESSIONID", "znksessionid"));
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_TRUE(SameText("", ""));
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_GT(CompareText("B", "a"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("abc", "ab"), 0);
  EXPECT_GT(CompareText("\xE8", "z"), 0);  // bytes above 127 sort after ASCII
  EXPECT_TRUE(StartsText("tag_", "TAG_param_x"));
  EXPECT_TRUE(StartsText("", "x"));
  EXPECT_FALSE(StartsText("tag_x", "tag_"));
}

TEST(Text, Trim) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim(std::string("\0x\0", 3)), "x");
  EXPECT_EQ(Trim("\xA0"
                 "a\xA0"),
            "\xA0"
            "a\xA0");  // the no-break space is text
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(Text, ReplaceAll) {
  EXPECT_EQ(ReplaceAll("aaa", "a", "bb"), "bbbbbb");
  EXPECT_EQ(ReplaceAll("aaaa", "aa", "x"), "xx");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "d", "x"), "abc");
  EXPECT_EQ(ReplaceAll("a.b.c", ".", ""), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
}

}  // namespace
}  // namespace tessaro
