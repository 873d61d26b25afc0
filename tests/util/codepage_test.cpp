#include "util/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "util/exception.h"

namespace tessaro {
namespace {

// The bytes windows-1250 leaves undefined.
bool IsUndefined(int byte) { return byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98; }

TEST(Codepage, EveryByteRoundTripsExceptTheUndefinedOnes) {
  for (int b = 0; b < 256; ++b) {
    std::string one(1, static_cast<char>(b));
    std::string utf8 = EncodeOutput(one);
    EXPECT_TRUE(IsValidUtf8(utf8)) << b;
    if (IsUndefined(b)) {
      EXPECT_EQ(utf8, "?") << b;
      EXPECT_EQ(Cp1250ToUnicode(static_cast<unsigned char>(b)), U'?') << b;
    } else {
      EXPECT_EQ(DecodeInput(utf8), one) << b;
      bool ok = false;
      EXPECT_EQ(UnicodeToCp1250(Cp1250ToUnicode(static_cast<unsigned char>(b)), ok), static_cast<char>(b)) << b;
      EXPECT_TRUE(ok) << b;
    }
  }
}

TEST(Codepage, AllBytesAtOnce) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    if (!IsUndefined(b)) all.push_back(static_cast<char>(b));
  EXPECT_EQ(DecodeInput(EncodeOutput(all)), all);
}

// An independent check of the table against the C library's converter.
TEST(Codepage, TableAgreesWithIconv) {
  iconv_t cd = iconv_open("UTF-8", "WINDOWS-1250");
  if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "no windows-1250 converter in this C library";
  for (int b = 0x80; b < 0x100; ++b) {
    if (IsUndefined(b)) continue;
    char in[1] = {static_cast<char>(b)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t in_left = 1, out_left = sizeof out;
    ASSERT_NE(iconv(cd, &inp, &in_left, &outp, &out_left), static_cast<size_t>(-1)) << b;
    EXPECT_EQ(EncodeOutput(std::string(1, static_cast<char>(b))), std::string(out, sizeof out - out_left)) << b;
  }
  iconv_close(cd);
}

struct Letter {
  const char* utf8;
  unsigned char byte;
  char32_t code_point;
};

TEST(Codepage, CzechLetters) {
  const Letter letters[] = {
      {"ě", 0xEC, 0x011B}, {"š", 0x9A, 0x0161}, {"č", 0xE8, 0x010D},      {"ř", 0xF8, 0x0159}, {"ž", 0x9E, 0x017E},
      {"ý", 0xFD, 0x00FD}, {"á", 0xE1, 0x00E1}, {"í", 0xED, 0x00ED},      {"é", 0xE9, 0x00E9}, {"ů", 0xF9, 0x016F},
      {"ú", 0xFA, 0x00FA}, {"ň", 0xF2, 0x0148}, {"ť", 0x9D, 0x0165},      {"ď", 0xEF, 0x010F}, {"Ě", 0xCC, 0x011A},
      {"Š", 0x8A, 0x0160}, {"Č", 0xC8, 0x010C}, {"Ř", 0xD8, 0x0158},      {"Ž", 0x8E, 0x017D}, {"Ý", 0xDD, 0x00DD},
      {"Á", 0xC1, 0x00C1}, {"Í", 0xCD, 0x00CD}, {"É", 0xC9, 0x00C9},      {"Ů", 0xD9, 0x016E}, {"Ú", 0xDA, 0x00DA},
      {"Ň", 0xD2, 0x0147}, {"Ť", 0x8D, 0x0164}, {"Ď", 0xCF, 0x010E},      {"€", 0x80, 0x20AC}, {"„", 0x84, 0x201E},
      {"“", 0x93, 0x201C}, {"–", 0x96, 0x2013}, {"\u00A0", 0xA0, 0x00A0}, {"§", 0xA7, 0x00A7}, {"˙", 0xFF, 0x02D9},
  };
  for (const Letter& l : letters) {
    std::string byte(1, static_cast<char>(l.byte));
    EXPECT_EQ(DecodeInput(l.utf8), byte) << l.utf8;
    EXPECT_EQ(EncodeOutput(byte), l.utf8) << l.utf8;
    EXPECT_EQ(Cp1250ToUnicode(l.byte), l.code_point) << l.utf8;
    EXPECT_EQ(Cp1250(l.utf8), byte) << l.utf8;
  }
  std::string word = Cp1250("Příliš žluťoučký kůň úpěl ďábelské ódy");
  EXPECT_EQ(word.size(), 38u);
  EXPECT_EQ(EncodeOutput(word), "Příliš žluťoučký kůň úpěl ďábelské ódy");
}

TEST(Codepage, IllFormedUtf8GivesTheEmptyString) {
  const char* cases[] = {
      "\xC3",              // truncated two-byte sequence
      "abc\xC3",           // truncated at the end
      "\xE2\x82",          // truncated three-byte sequence
      "\xF0\x9F\x98",      // truncated four-byte sequence
      "\x80",              // stray continuation byte
      "a\xBFz",            // stray continuation byte inside
      "\xC0\xAF",          // overlong "/"
      "\xC1\xBF",          // overlong
      "\xE0\x80\xAF",      // overlong three-byte
      "\xE0\x9F\xBF",      // overlong three-byte, upper edge
      "\xF0\x80\x80\xAF",  // overlong four-byte
      "\xF0\x8F\xBF\xBF",  // overlong four-byte, upper edge
      "\xED\xA0\x80",      // surrogate U+D800
      "\xED\xBF\xBF",      // surrogate U+DFFF
      "\xF4\x90\x80\x80",  // U+110000
      "\xF5\x80\x80\x80",  // lead byte past U+10FFFF
      "\xFF",              // never in UTF-8
      "\xFE\xFF",          // never in UTF-8
      "\xE2\x28\xA1",      // second byte not a continuation
      "\xE2\x82\x28",      // third byte not a continuation
      "\xC3\xA1\xC3",      // valid letter, then truncated
      "\xC3\xA1"
      "abc\x80",  // valid start, invalid end
  };
  for (const char* c : cases) {
    EXPECT_EQ(DecodeInput(c), "") << c;
    EXPECT_FALSE(IsValidUtf8(c)) << c;
    EXPECT_THROW(Cp1250(c), Exception) << c;
  }
}

TEST(Codepage, EdgesOfWellFormedUtf8) {
  EXPECT_TRUE(IsValidUtf8("\xC2\x80"));          // U+0080
  EXPECT_TRUE(IsValidUtf8("\xDF\xBF"));          // U+07FF
  EXPECT_TRUE(IsValidUtf8("\xE0\xA0\x80"));      // U+0800
  EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF"));      // U+D7FF
  EXPECT_TRUE(IsValidUtf8("\xEE\x80\x80"));      // U+E000
  EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBF"));      // U+FFFF
  EXPECT_TRUE(IsValidUtf8("\xF0\x90\x80\x80"));  // U+10000
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
  EXPECT_TRUE(IsValidUtf8(""));
}

TEST(Codepage, MissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(DecodeInput("ø"), "?");
  EXPECT_EQ(DecodeInput("a中b"), "a?b");
  EXPECT_EQ(DecodeInput("😀"), "?");             // four-byte sequence
  EXPECT_EQ(DecodeInput("\xC2\x81"), "?");      // U+0081: the undefined byte is not its code point
  EXPECT_EQ(DecodeInput("\xEF\xBF\xBF"), "?");  // U+FFFF
  EXPECT_EQ(DecodeInput("à la"), "? la");       // no best-fit replacement
  bool ok = true;
  EXPECT_EQ(UnicodeToCp1250(0x4E2D, ok), '?');
  EXPECT_FALSE(ok);
  EXPECT_THROW(Cp1250("ø"), Exception);
}

TEST(Codepage, AsciiPassesUnchanged) {
  std::string ascii("plain text <b>&amp;</b>\r\n", 26);
  ascii.push_back('\0');
  ascii += "after nul";
  EXPECT_EQ(DecodeInput(ascii), ascii);
  EXPECT_EQ(EncodeOutput(ascii), ascii);
  EXPECT_EQ(Cp1250(ascii), ascii);
  EXPECT_EQ(DecodeInput(""), "");
  EXPECT_EQ(EncodeOutput(""), "");
}

TEST(Codepage, MixedText) {
  EXPECT_EQ(EncodeOutput(Cp1250("Cena: 100 Kč")), "Cena: 100 Kč");
  EXPECT_EQ(DecodeInput("Cena: 100 Kč"), Cp1250("Cena: 100 Kč"));
  EXPECT_EQ(EncodeOutput("a\x81z"), "a?z");
}

}  // namespace
}  // namespace tessaro

namespace tessaro {
namespace {

TEST(Cp1250Texts, ConvertedByTheCompilerAsAtRunTime) {
  static constexpr auto kTexts = Cp1250Texts({"únor", "Kč", "", "žluťoučký kůň", "ASCII"});
  static_assert(kTexts.size() == 5);
  static_assert(kTexts[0] == "\xFAnor");
  const char* sources[] = {"únor", "Kč", "", "žluťoučký kůň", "ASCII"};
  for (size_t i = 0; i < kTexts.size(); ++i) EXPECT_EQ(kTexts[i], Cp1250(sources[i])) << sources[i];
}

}  // namespace
}  // namespace tessaro

namespace tessaro {
namespace {

// The in-place form converts only what follows the offset and agrees with
// DecodeInput, ill-formed input included.
TEST(Codepage, DecodingInPlaceAgreesWithDecodeInput) {
  for (std::string value : {"", "plain", "\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88", "\xE2\x82\xAC\xF0\x9F\x98\x80",
                            "\xC3\xA1" "abc\x80", "\xC3"}) {
    std::string text = "name=" + value;
    DecodeInputInPlace(text, 5);
    EXPECT_EQ(text, "name=" + DecodeInput(value)) << value;
  }
}

}  // namespace
}  // namespace tessaro
