#include "util/string_list.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(StringList, LookupByName) {
  TStrings list{"Name=first", "noequals", "name=second", "x=a=b", "empty="};
  EXPECT_EQ(list.IndexOfName("NAME"), 0);
  EXPECT_EQ(list.Values("name"), "first");      // the first entry of a repeated name
  EXPECT_EQ(list.IndexOfName("noequals"), -1);  // an entry without "=" has no name
  EXPECT_EQ(list.Values("noequals"), "");
  EXPECT_EQ(list.Values("x"), "a=b");
  EXPECT_EQ(list.Values("empty"), "");
  EXPECT_EQ(list.IndexOfName("empty"), 4);
  EXPECT_EQ(list.IndexOfName("missing"), -1);
  EXPECT_EQ(list.Names(1), "noequals");
  EXPECT_EQ(list.ValueFromIndex(1), "");
  EXPECT_EQ(list.Names(3), "x");
  EXPECT_EQ(list.ValueFromIndex(3), "a=b");
}

TEST(StringList, SetValues) {
  TStrings list{"a=1", "b=2"};
  list.SetValues("A", "9");
  EXPECT_EQ(list[0], "A=9");
  list.SetValues("c", "3");
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list[2], "c=3");
  list.SetValues("b", "");  // an empty value deletes
  EXPECT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.IndexOfName("b"), -1);
  list.SetValues("missing", "");
  EXPECT_EQ(list.Count(), 2u);
}

TEST(StringList, EditingAndText) {
  TStrings list;
  EXPECT_TRUE(list.Empty());
  list.Add("b");
  list.Insert(0, "a");
  list.Add("c");
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\n");
  list.Delete(1);
  EXPECT_EQ(list.Text(), "a\r\nc\r\n");
  list.Clear();
  EXPECT_EQ(list.Text(), "");
}

TEST(StringList, SetTextSplitsAtEveryLineBreak) {
  TStrings list;
  list.SetText("a\r\nb\nc\rd");
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(list[3], "d");
  list.SetText("a\r\n");  // a final line break adds no entry
  EXPECT_EQ(list.Count(), 1u);
  list.SetText("a\n\nb");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list[1], "");
  list.SetText("\n");
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list[0], "");
  list.SetText("");
  EXPECT_TRUE(list.Empty());
  list.SetText("x=1\r\ny=2\r\n");
  EXPECT_EQ(list.Values("y"), "2");
  EXPECT_EQ(list.Text(), "x=1\r\ny=2\r\n");
}

}  // namespace
}  // namespace tessaro
