// Upper case and collation of windows-1250 text.
#include "util/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "util/codepage.h"

namespace tessaro {
namespace {

TEST(LocaleText, UpperCaseCoversTheCzechLetters) {
  EXPECT_EQ(AnsiUpperCase(Cp1250("příliš žluťoučký kůň úpěl ďábelské ódy ß 1 ÷")),
            Cp1250("PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY ß 1 ÷"));
  EXPECT_EQ(AnsiUpperCase(Cp1250("ľščťžýáíéúäňô")), Cp1250("ĽŠČŤŽÝÁÍÉÚÄŇÔ"));
}

TEST(LocaleText, CollationFollowsTheCzechAlphabet) {
  const std::vector<std::string> ordered = {" ",  "-",     "1",    "9", "a",   "A", "á", "Á",    "ab", "b",
                                            "c",  "C",     "cukr", "č", "čaj", "d", "h", "hrad", "ch", "Ch",
                                            "CH", "chata", "i",    "r", "ř",   "s", "š", "z",    "ž"};
  std::vector<std::string> texts;
  for (const auto& t : ordered) texts.push_back(Cp1250(t));
  std::vector<std::string> shuffled = texts;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
  std::sort(shuffled.begin(), shuffled.end(),
            [](const std::string& a, const std::string& b) { return AnsiCompareStr(a, b) < 0; });
  EXPECT_EQ(shuffled, texts);
}

TEST(LocaleText, OnlyIdenticalTextsAreEqual) {
  EXPECT_EQ(AnsiCompareStr("abc", "abc"), 0);
  EXPECT_EQ(AnsiCompareStr("", ""), 0);
  EXPECT_LT(AnsiCompareStr("", "a"), 0);
  EXPECT_GT(AnsiCompareStr("ab", "a"), 0);
  EXPECT_NE(AnsiCompareStr(std::string("a\0", 2), "a"), 0);
}

}  // namespace
}  // namespace tessaro
