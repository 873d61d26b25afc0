// Digests and MACs against published test vectors, and the hexadecimal
// helpers the signed values are written with.
#include "util/crypto.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(Crypto, DigestsMatchPublishedVectors) {
  EXPECT_EQ(HexText(Sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(HexText(Sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  // RFC 4231, test cases 2 and 6 (a key longer than the block).
  EXPECT_EQ(HexText(HmacSha256("Jefe", "what do ya want for nothing?")),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  EXPECT_EQ(HexText(HmacSha256(std::string(131, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First")),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

TEST(Crypto, SameBytesNeedsEqualLengthAndContent) {
  EXPECT_TRUE(SameBytes("", ""));
  EXPECT_TRUE(SameBytes(std::string("a\0b", 3), std::string("a\0b", 3)));
  EXPECT_FALSE(SameBytes(std::string("a\0b", 3), std::string("a\0c", 3)));
  EXPECT_FALSE(SameBytes("abc", "ab"));
}

TEST(Crypto, HexTextAndBack) {
  EXPECT_EQ(HexText(std::string("\x00\x7f\xff", 3)), "007fff");
  EXPECT_EQ(HexBytes("007FfF"), std::string("\x00\x7f\xff", 3));
  EXPECT_EQ(HexBytes(""), std::string());
  for (const char* bad : {"0", "0g", "zz", "12 4"}) EXPECT_FALSE(HexBytes(bad).has_value()) << bad;
}

}  // namespace
}  // namespace tessaro
