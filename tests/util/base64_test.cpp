#include "util/base64.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(Base64, EncodesWithPaddingAndDecodesBack) {
  // RFC 4648 test vectors; the alphabet is the one of RFC 2045.
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},          {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [plain, encoded] : vectors) {
    EXPECT_EQ(Base64Encode(plain), encoded);
    EXPECT_EQ(Base64Decode(encoded), plain);
  }
  std::string all_bytes;
  for (int i = 0; i < 256; ++i) all_bytes += static_cast<char>(i);
  std::string encoded = Base64Encode(all_bytes + all_bytes);
  EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);  // one line however long
  EXPECT_NE(encoded.find('+'), std::string::npos);
  EXPECT_NE(encoded.find('/'), std::string::npos);
  EXPECT_EQ(Base64Decode(encoded), all_bytes + all_bytes);
}

TEST(Base64, DecodingSkipsForeignCharactersAndNeverFails) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"Zm9v\r\nYmFy", "foobar"},           // line breaks of wrapped text
      {" Z-m_9*v ", "foo"},                 // anything outside the alphabet
      {std::string("Zm\0\xff" "9v", 6), "foo"},
      {"Zm8=Zm9v", "fo"},                   // "=" ends the data
      {"Zm9", "fo"},                        // missing padding
      {"Z", ""},                            // one sextet holds no byte
      {"====", ""},
      {"!!!", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Base64Decode(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace tessaro
