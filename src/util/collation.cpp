// Czech collation of windows-1250 text.
//
// It comes from one table of letters: each row names a lower-case letter, its
// upper-case form, the letter of the alphabet it belongs to and its accent
// rank within that letter. Collation turns a text into elements (a byte, or
// the pair "ch") with three weights - letter, accent, case - and compares
// the texts weight by weight: all letters first, then all accents, then all
// cases, then the bytes themselves.
#include "util/collation.h"

#include <array>
#include <cstdint>

#include "util/codepage.h"

namespace tessaro {
namespace {

// The letters of the Czech alphabet in order: A B C Č D E F G H CH I J K L M N
// O P Q R Ř S Š T U V W X Y Z Ž ("CH" is one letter).
// clang-format off
enum TLetter : uint8_t {
  A, B, C, Ccaron, D, E, F, G, H, CH, I, J, K, L, M, N, O, P, Q, R, Rcaron, S, Scaron, T, U, V, W, X, Y, Z, Zcaron
};
// clang-format on

struct TLetterRow {
  const char* lower;  // the lower-case letter (UTF-8 here, converted once)
  const char* upper;  // its upper-case form; "" when it has none
  TLetter letter;     // the letter of the alphabet
  uint8_t accent;     // rank among the forms of that letter; 0 = plain
};

constexpr TLetterRow kAccentedLetters[] = {
    {"á", "Á", A, 1},      {"ä", "Ä", A, 2},      {"â", "Â", A, 3},      {"ă", "Ă", A, 4}, {"ą", "Ą", A, 5},
    {"ć", "Ć", C, 1},      {"ç", "Ç", C, 2},      {"č", "Č", Ccaron, 0}, {"ď", "Ď", D, 1}, {"đ", "Đ", D, 2},
    {"é", "É", E, 1},      {"ě", "Ě", E, 2},      {"ë", "Ë", E, 3},      {"ę", "Ę", E, 4}, {"í", "Í", I, 1},
    {"î", "Î", I, 2},      {"ĺ", "Ĺ", L, 1},      {"ľ", "Ľ", L, 2},      {"ł", "Ł", L, 3}, {"ń", "Ń", N, 1},
    {"ň", "Ň", N, 2},      {"ó", "Ó", O, 1},      {"ô", "Ô", O, 2},      {"ö", "Ö", O, 3}, {"ő", "Ő", O, 4},
    {"ŕ", "Ŕ", R, 1},      {"ř", "Ř", Rcaron, 0}, {"ś", "Ś", S, 1},      {"ş", "Ş", S, 2}, {"ß", "", S, 3},
    {"š", "Š", Scaron, 0}, {"ť", "Ť", T, 1},      {"ţ", "Ţ", T, 2},      {"ú", "Ú", U, 1}, {"ů", "Ů", U, 2},
    {"ü", "Ü", U, 3},      {"ű", "Ű", U, 4},      {"ý", "Ý", Y, 1},      {"ź", "Ź", Z, 1}, {"ż", "Ż", Z, 2},
    {"ž", "Ž", Zcaron, 0},
};

// The weights of one collation element.
struct TWeights {
  uint16_t primary = 0;  // symbols (byte + 1), then digits, then letters
  uint8_t accent = 0;
  uint8_t case_rank = 0;  // 0 for lower case; upper case ranks higher
};

constexpr uint16_t kDigitBase = 300;
constexpr uint16_t kLetterBase = 400;

struct TTables {
  std::array<TWeights, 256> weights{};  // the collation weights of each byte

  TTables() {
    for (int c = 0; c < 256; ++c) {
      weights[c].primary = static_cast<uint16_t>(c + 1);
    }
    for (int d = 0; d < 10; ++d) weights['0' + d].primary = static_cast<uint16_t>(kDigitBase + d);
    static constexpr TLetter kAscii[26] = {A, B, C, D, E, F, G, H, I, J, K, L, M,
                                           N, O, P, Q, R, S, T, U, V, W, X, Y, Z};
    for (int k = 0; k < 26; ++k) Add('a' + k, 'A' + k, kAscii[k], 0);
    for (const TLetterRow& row : kAccentedLetters) {
      const std::string upper_form = Cp1250(row.upper);
      Add(static_cast<unsigned char>(Cp1250(row.lower)[0]),
          upper_form.empty() ? -1 : static_cast<unsigned char>(upper_form[0]), row.letter, row.accent);
    }
  }

  // `upper_byte` is -1 for a letter without an upper-case form.
  void Add(int lower_byte, int upper_byte, TLetter letter, uint8_t accent) {
    const auto primary = static_cast<uint16_t>(kLetterBase + letter);
    weights[lower_byte] = {primary, accent, 0};
    if (upper_byte >= 0) {
      weights[upper_byte] = {primary, accent, 1};
    }
  }
};

const TTables& Tables() {
  static const TTables tables;
  return tables;
}

// The next collation element of `s` at `i`; advances `i` past it.
TWeights NextElement(std::string_view s, size_t& i, const TTables& t) {
  const char c = s[i];
  if ((c == 'c' || c == 'C') && i + 1 < s.size() && (s[i + 1] == 'h' || s[i + 1] == 'H')) {
    i += 2;
    const int rank = (c == 'C' ? 2 : 0) + (s[i - 1] == 'H' ? 1 : 0);  // ch, cH, Ch, CH
    return {static_cast<uint16_t>(kLetterBase + CH), 0, static_cast<uint8_t>(rank)};
  }
  ++i;
  return t.weights[static_cast<unsigned char>(c)];
}

// Compares the texts by one weight of their elements.
template <typename Weight>
int ComparePass(std::string_view a, std::string_view b, Weight weight) {
  const TTables& t = Tables();
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    int x = weight(NextElement(a, i, t));
    int y = weight(NextElement(b, j, t));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

int AnsiCompareStr(std::string_view a, std::string_view b) {
  if (int r = ComparePass(a, b, [](const TWeights& w) { return w.primary; })) return r;
  if (int r = ComparePass(a, b, [](const TWeights& w) { return w.accent; })) return r;
  if (int r = ComparePass(a, b, [](const TWeights& w) { return w.case_rank; })) return r;
  int r = a.compare(b);
  return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

}  // namespace tessaro
