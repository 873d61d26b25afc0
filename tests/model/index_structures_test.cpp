// The two lookup structures behind long lists and linking, against the plain
// structures whose answers they must give.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "model/pointer_set.h"
#include "model/reference_index.h"
#include "util/text.h"

namespace tessaro {
namespace {

TEST(PointerSet, AgreesWithAnOrderedSetThroughInsertsAndErasures) {
  TPointerSet set;
  std::set<const void*> expected;
  std::mt19937 random(7);
  static char objects[3000];
  for (int step = 0; step < 40000; ++step) {
    const void* p = &objects[random() % (step < 20000 ? 3000 : 300)];  // later: few members, many removals
    switch (random() % 3) {
      case 0:
        EXPECT_EQ(set.Insert(p), expected.insert(p).second);
        break;
      case 1:
        EXPECT_EQ(set.Erase(p), expected.erase(p) == 1);
        break;
      default:
        EXPECT_EQ(set.Contains(p), expected.count(p) == 1);
    }
    ASSERT_EQ(set.Size(), expected.size()) << "step " << step;
  }
  set.Clear();
  EXPECT_FALSE(set.Contains(&objects[0]));
  EXPECT_FALSE(set.Erase(&objects[0]));
}

TEST(ReferenceIndex, IdentifiersCompareAndHashLikeSameText) {
  // Capitals fold to small letters; the neighbours of the letter ranges and
  // bytes above 127 stay as they are; lengths around the 8-byte words.
  const std::pair<std::string, std::string> pairs[] = {
      {"{0A1B2C3D-0000-4000-8000-00000000000F}", "{0a1b2c3d-0000-4000-8000-00000000000f}"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz"},
      {"@[`{", "`{@["},
      {"@", "`"},
      {"[", "{"},
      {"\xC1\xC8", "\xE1\xE8"},
      {"abcdefgh", "ABCDEFGH"},
      {"abcdefghi", "ABCDEFGHJ"},
      {"abcdefg", "abcdefgh"},
      {"", ""},
      {"x", ""},
  };
  for (const auto& [a, b] : pairs) {
    const bool same = SameText(a, b);
    EXPECT_EQ(TReferenceIndex::SameIdentifier(a, b), same) << a << " / " << b;
    if (same) {
      EXPECT_EQ(TReferenceIndex::CaseInsensitiveHash(a), TReferenceIndex::CaseInsensitiveHash(b)) << a;
    }
  }
  EXPECT_NE(TReferenceIndex::CaseInsensitiveHash("{A}"), TReferenceIndex::CaseInsensitiveHash("{B}"));
}

}  // namespace
}  // namespace tessaro
