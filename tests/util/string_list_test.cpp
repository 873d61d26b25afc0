#include "util/string_list.h"

#include <gtest/gtest.h>

#include "util/text.h"

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

namespace tessaro {
namespace {

// Long lists answer lookups from a name index; it must give what a scan of
// the entries gives, also right after the list changed.
TEST(StringList, LongListsLookUpLikeAScan) {
  TStrings list;
  for (int i = 0; i < 60; ++i) list.Add((i % 3 == 0 ? "Name" : i % 3 == 1 ? "nAME" : "k" + std::to_string(i % 7)) +
                                        (i % 11 == 0 ? std::string() : "=" + std::to_string(i)));
  const TStrings& view = list;
  auto scan = [&](std::string_view name) {
    std::vector<size_t> found;
    for (size_t i = 0; i < view.Count(); ++i)
      if (view[i].find('=') != std::string::npos && SameText(view.Names(i), name)) found.push_back(i);
    return found;
  };
  auto check = [&](const char* when) {
    std::vector<size_t> firsts = view.FirstOfEachName();
    for (size_t i = 0; i < view.Count(); ++i) {
      std::vector<size_t> same = view[i].find('=') == std::string::npos ? std::vector<size_t>() : scan(view.Names(i));
      EXPECT_EQ(firsts[i], same.empty() ? std::string::npos : same[0]) << when << " " << view[i];
    }
    for (const char* name : {"name", "NAME", "k1", "K5", "k6", "missing", ""}) {
      std::vector<size_t> expected = scan(name);
      EXPECT_EQ(view.IndicesOfName(name), expected) << when << " " << name;
      EXPECT_EQ(view.IndexOfName(name), expected.empty() ? -1 : static_cast<int>(expected[0])) << when << " " << name;
    }
  };
  check("built");
  list.Delete(1);
  check("after Delete");
  list.Insert(0, "name=first");
  check("after Insert");
  list[3] = "k6=changed";
  check("after writing an entry");
  list.SetValues("NAME", "");
  check("after SetValues");
  list.Add("missing=now");
  check("after Add");
  EXPECT_EQ(view.Values("MISSING"), "now");
}

}  // namespace
}  // namespace tessaro
