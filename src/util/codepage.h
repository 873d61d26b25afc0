// Conversion between the portal's internal code page, windows-1250, and UTF-8.
//
// Text inside the portal is single-byte windows-1250; request values arrive as
// UTF-8 and are converted once on entry (DecodeInput), and every text a tag
// inserts into a page is converted back on the way out (EncodeOutput). The
// mapping is a fixed table, so the result never depends on the process's locale.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tessaro {

namespace codepage_detail {
// The code points of the upper half of windows-1250 (bytes 0x80..0xFF); 0
// where the code page defines no character.
inline constexpr char16_t kUpperHalf[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Reads one well-formed UTF-8 sequence at s[i] into `cp` and advances `i`.
// false for an ill-formed sequence. The ranges of the second byte follow the
// Unicode table of well-formed sequences, which rules out overlong forms (C0,
// C1, E0 80..9F, F0 80..8F), surrogates (ED A0..BF) and values past U+10FFFF
// (F4 90..BF, F5..FF).
constexpr bool NextCodePoint(std::string_view s, size_t& i, char32_t& cp) {
  unsigned char lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) {
    cp = lead;
    ++i;
    return true;
  }
  int length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return false;
  }
  if (s.size() - i < static_cast<size_t>(length)) return false;
  unsigned char second = static_cast<unsigned char>(s[i + 1]);
  if (second < low || second > high) return false;
  cp = lead & (0xFF >> (length + 1));
  for (int k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(c)) return false;
    cp = (cp << 6) | (c & 0x3F);
  }
  i += length;
  return true;
}
}  // namespace codepage_detail

// The Unicode code point of a windows-1250 byte. The five bytes the code page
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) give '?'.
char32_t Cp1250ToUnicode(unsigned char byte);

// The windows-1250 byte of a code point. When the code page lacks the
// character, `ok` is false and the result is '?'.
char UnicodeToCp1250(char32_t code_point, bool& ok);

// Whether `text` is well-formed UTF-8: no overlong forms, no surrogates, nothing
// above U+10FFFF, no truncated or stray continuation bytes.
bool IsValidUtf8(std::string_view text);

// UTF-8 to windows-1250. A text that is not well-formed UTF-8 gives the empty
// string (a visitor's malformed value is dropped, never half-converted);
// characters windows-1250 lacks become '?'.
std::string DecodeInput(std::string_view utf8);
// DecodeInput of `text` from offset `from` on, in place (windows-1250 is never
// longer than UTF-8); ill-formed input leaves `text` cut at `from`. For values
// that may be large, so that they are never held twice.
void DecodeInputInPlace(std::string& text, size_t from);

// windows-1250 to UTF-8. The undefined bytes (see Cp1250ToUnicode) become '?',
// so the output is always well-formed UTF-8.
std::string EncodeOutput(std::string_view cp1250);

// A text literal written in UTF-8 source, converted to windows-1250. Throws
// Exception when the literal is not well-formed UTF-8 or holds a character
// windows-1250 lacks: either is a programming error.
std::string Cp1250(std::string_view utf8_literal);

// A table of short texts written in UTF-8 source and converted to
// windows-1250 by the compiler, for names that are needed on every request
// (month and day names): Cp1250Texts({"leden", "únor"})[1] is "\xFAnor".
// A literal that is not well-formed UTF-8, holds a character windows-1250
// lacks or is longer than kWidth bytes does not compile.
template <size_t Count>
class TCp1250Texts {
 public:
  static constexpr size_t kWidth = 23;
  constexpr std::string_view operator[](size_t i) const { return {texts_[i].data(), sizes_[i]}; }
  constexpr size_t size() const { return Count; }

 private:
  template <size_t N>
  friend consteval TCp1250Texts<N> Cp1250Texts(const std::string_view (&utf8)[N]);
  std::array<std::array<char, kWidth>, Count> texts_{};
  std::array<unsigned char, Count> sizes_{};
};

template <size_t Count>
consteval TCp1250Texts<Count> Cp1250Texts(const std::string_view (&utf8)[Count]) {
  TCp1250Texts<Count> table;
  for (size_t t = 0; t < Count; ++t) {
    std::string_view in = utf8[t];
    size_t out = 0;
    for (size_t i = 0; i < in.size();) {
      char32_t cp;
      if (!codepage_detail::NextCodePoint(in, i, cp)) throw "not UTF-8";
      char byte = 0;
      if (cp < 0x80) {
        byte = static_cast<char>(cp);
      } else {
        for (int b = 0; b < 128; ++b)
          if (codepage_detail::kUpperHalf[b] == cp && cp != 0) byte = static_cast<char>(0x80 + b);
        if (byte == 0) throw "not in windows-1250";
      }
      if (out >= TCp1250Texts<Count>::kWidth) throw "text too long";
      table.texts_[t][out++] = byte;
    }
    table.sizes_[t] = static_cast<unsigned char>(out);
  }
  return table;
}

}  // namespace tessaro
