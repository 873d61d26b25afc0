// The plain-letter form of windows-1250 text: Czech words, the letters whose
// plain form changes case, signs that become markup characters, and bytes
// that stay outside ASCII.
#include "util/transliteration.h"

#include <gtest/gtest.h>

#include "util/codepage.h"

namespace tessaro {
namespace {

TEST(Transliterate, MapsTheUpperHalfAndKeepsAscii) {
  const struct {
    std::string in, out;
  } cases[] = {
      {Cp1250("Žluťoučký kůň"), "Zlutoucky kun"},
      {Cp1250("ĚŠČŘŽÝÁÍÉÚŮ ěščřžýáíéúů"), "ESCRZYAIEUU escrzyaieuu"},
      {Cp1250("Ó"), "o"},  // the capital O with acute becomes small
      {Cp1250("‹script›"), "<script>"},
      {Cp1250("“a” – b"), "\"a\" - b"},
      {"plain <ASCII> & 'text'\r\n", "plain <ASCII> & 'text'\r\n"},
      {"", ""},
      {"\x80\xDF\xFF", "\xDF\xB5\xBD"},  // bytes that stay in the upper half
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    Transliterate(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

}  // namespace
}  // namespace tessaro
