#include "util/identifiers.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "util/exception.h"
#include "util/guid.h"

namespace tessaro {
namespace {

constexpr const char* kGuid = "{0123ABCD-4567-89EF-0A1B-2C3D4E5F6789}";

TEST(IsGUIDString, AcceptsOnlyTheBracedRegistryForm) {
  EXPECT_TRUE(IsGUIDString(kGuid));
  EXPECT_TRUE(IsGUIDString("{0123abcd-4567-89ef-0a1b-2c3d4e5f6789}"));
  const char* rejected[] = {"",
                            "0123ABCD-4567-89EF-0A1B-2C3D4E5F6789",
                            "{0123ABCD-4567-89EF-0A1B-2C3D4E5F678}",
                            "{0123ABCD-4567-89EF-0A1B-2C3D4E5F67890}",
                            "{0123ABCG-4567-89EF-0A1B-2C3D4E5F6789}",
                            "{0123ABCD_4567-89EF-0A1B-2C3D4E5F6789}",
                            "(0123ABCD-4567-89EF-0A1B-2C3D4E5F6789)",
                            " {0123ABCD-4567-89EF-0A1B-2C3D4E5F6789}"};
  for (const char* s : rejected) EXPECT_FALSE(IsGUIDString(s)) << s;
}

TEST(GUIDToHex, StripsBracesAndDashesOfGUIDsOnly) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {kGuid, "0123ABCD456789EF0A1B2C3D4E5F6789"},
      {"{0123abcd-4567-89ef-0a1b-2c3d4e5f6789}", "0123abcd456789ef0a1b2c3d4e5f6789"},
      {"{0123ABCD-4567-89EF-0A1B-2C3D4E5F678}", "{0123ABCD-4567-89EF-0A1B-2C3D4E5F678}"},
      {"0123ABCD-4567-89EF-0A1B-2C3D4E5F6789", "0123ABCD-4567-89EF-0A1B-2C3D4E5F6789"},
      {"0123ABCD", "0123ABCD"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GUIDToHex(c.in), c.out) << c.in;
}

TEST(HexToGUID, InsertsDashesIntoUpTo32HexDigits) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"0123ABCD456789EF0A1B2C3D4E5F6789", kGuid},
      {"0123abcd456789ef0a1b2c3d4e5f6789", "{0123abcd-4567-89ef-0a1b-2c3d4e5f6789}"},
      {"", "{}"},
      {"01234567", "{01234567}"},
      {"0123456789", "{01234567-89}"},
      {"0123ABCD456789EF0A1B2C3D4E5F67890", "0123ABCD456789EF0A1B2C3D4E5F67890"},  // 33 digits
      {"0123ABCD456789EF0A1B2C3D4E5F678G", "0123ABCD456789EF0A1B2C3D4E5F678G"},
      {"0123-ABCD", "0123-ABCD"},
      {kGuid, kGuid},
  };
  for (const auto& c : cases) EXPECT_EQ(HexToGUID(c.in), c.out) << c.in;
}

// The shuffled table decides every cookie ever issued: if it changes, all
// visitors are logged out. It must come out the same in every process.
TEST(IdentifierTable, IsTheSameFixedPermutationInEveryProcess) {
  EXPECT_EQ(IdentifierTable(), "GYKDVMS52TJNWLUQ93H7XARB6EPCF84Z");
}

TEST(DecodeID, ReadsCookiesWrittenByEarlierProcesses) {
  // Two spellings of one identifier, written by two other runs.
  EXPECT_EQ(DecodeID("GYKDPNF8VARB2E4Z9J3CHW7LXUMQRB6E"), kGuid);
  EXPECT_EQ(DecodeID("G3H7JCWLXARB6E4ZGPYCHW78VUMQRB2T"), kGuid);
}

TEST(EncodeID, RoundTripsAndGivesUpperCase) {
  for (int k = 0; k < 200; ++k) {
    std::string guid = GUIDToString(CreateGUID());
    std::string encoded = EncodeID(guid);
    ASSERT_EQ(encoded.size(), 32u);
    for (char c : encoded) ASSERT_NE(IdentifierTable().find(c), std::string::npos);
    ASSERT_EQ(DecodeID(encoded), guid);
  }
  EXPECT_EQ(DecodeID(EncodeID("{0123abcd-4567-89ef-0a1b-2c3d4e5f6789}")), kGuid);
  EXPECT_EQ(DecodeID(EncodeID("0123abcd456789ef0a1b2c3d4e5f6789")), kGuid);
}

TEST(EncodeID, SpellsOneIdentifierDifferentlyEachTime) {
  std::set<std::string> spellings;
  for (int k = 0; k < 20; ++k) spellings.insert(EncodeID(kGuid));
  EXPECT_GT(spellings.size(), 1u);
  for (const std::string& s : spellings) EXPECT_EQ(DecodeID(s), kGuid);
}

TEST(EncodeID, EncodesBareHexDigitByDigit) {
  EXPECT_EQ(EncodeID(""), "");
  EXPECT_EQ(EncodeID("F").size(), 1u);
}

TEST(EncodeID, RejectsTextThatIsNeitherGUIDNorHex) {
  const char* rejected[] = {"{0123ABCG-4567-89EF-0A1B-2C3D4E5F6789}", "0123-ABCD", "{}", "xyz", " 0"};
  for (const char* s : rejected) EXPECT_THROW(EncodeID(s), Exception) << s;
}

TEST(DecodeID, GivesEmptyForWrongLengthsAndForeignCharacters) {
  std::string valid = EncodeID(kGuid);
  const std::string rejected[] = {
      "",
      valid.substr(0, 31),
      valid + "G",
      valid.substr(0, 31) + "1",                   // digits 0 and 1 are not in the table
      valid.substr(0, 31) + "g",                   // letters are case-sensitive
      valid.substr(0, 31) + std::string(1, '\0'),  // a NUL byte
      std::string(1, '\xE8') + valid.substr(1),    // a windows-1250 letter
      std::string(32, '-'),
  };
  for (const std::string& s : rejected) EXPECT_EQ(DecodeID(s), "") << s;
}

}  // namespace
}  // namespace tessaro
