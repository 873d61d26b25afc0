// windows-1250 <-> UTF-8.
//
// The lower half of windows-1250 is ASCII. The upper half is the 128-entry
// table of the header (code points, 0 where the code page defines no
// character). Both directions are built from that one table at compile time:
//
//   byte -> UTF-8      a 256-entry table of ready-made UTF-8 sequences
//   code point -> byte a sorted list of the 123 defined upper-half entries,
//                      searched by bisection
//
// Pure ASCII texts, by far the most common, are copied without a lookup.
#include "util/codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "util/exception.h"

namespace tessaro {
namespace {

using codepage_detail::kUpperHalf;

constexpr char32_t CodePointOf(unsigned char byte) {
  if (byte < 0x80) return byte;
  char16_t cp = kUpperHalf[byte - 0x80];
  return cp == 0 ? U'?' : cp;
}

struct Utf8Sequence {
  char bytes[3];   // the encoding; windows-1250 needs at most three bytes
  uint8_t length;  // bytes used
};

constexpr std::array<Utf8Sequence, 256> MakeEncodeTable() {
  std::array<Utf8Sequence, 256> table{};
  for (int b = 0; b < 256; ++b) {
    char32_t cp = CodePointOf(static_cast<unsigned char>(b));
    Utf8Sequence& s = table[b];
    if (cp < 0x80) {
      s = {{static_cast<char>(cp), 0, 0}, 1};
    } else if (cp < 0x800) {
      s = {{static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F)), 0}, 2};
    } else {
      s = {{static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))},
           3};
    }
  }
  return table;
}

constexpr std::array<Utf8Sequence, 256> kEncodeTable = MakeEncodeTable();

struct ReverseEntry {
  char16_t code_point;
  unsigned char byte;
};

constexpr int kDefinedUpper = 123;  // 128 minus the five undefined bytes

constexpr std::array<ReverseEntry, kDefinedUpper> MakeReverseTable() {
  std::array<ReverseEntry, kDefinedUpper> table{};
  int n = 0;
  for (int i = 0; i < 128; ++i)
    if (kUpperHalf[i] != 0) table[n++] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
  std::sort(table.begin(), table.end(), [](ReverseEntry a, ReverseEntry b) { return a.code_point < b.code_point; });
  return table;
}

constexpr std::array<ReverseEntry, kDefinedUpper> kReverseTable = MakeReverseTable();

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

using codepage_detail::NextCodePoint;

// The shared body of DecodeInput and Cp1250. Returns false for ill-formed
// input; `all_mapped` tells whether every character had a windows-1250 byte.
bool Utf8ToCp1250(std::string_view utf8, std::string& out, bool& all_mapped) {
  out.clear();
  out.reserve(utf8.size());
  all_mapped = true;
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    if (!NextCodePoint(utf8, i, cp)) return false;
    bool ok;
    out.push_back(UnicodeToCp1250(cp, ok));
    if (!ok) all_mapped = false;
  }
  return true;
}

}  // namespace

char32_t Cp1250ToUnicode(unsigned char byte) { return CodePointOf(byte); }

char UnicodeToCp1250(char32_t code_point, bool& ok) {
  ok = true;
  if (code_point < 0x80) return static_cast<char>(code_point);
  auto it = std::lower_bound(kReverseTable.begin(), kReverseTable.end(), code_point,
                             [](ReverseEntry e, char32_t cp) { return e.code_point < cp; });
  if (it != kReverseTable.end() && it->code_point == code_point) return static_cast<char>(it->byte);
  ok = false;
  return '?';
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    char32_t cp;
    if (!NextCodePoint(text, i, cp)) return false;
  }
  return true;
}

std::string DecodeInput(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  std::string out;
  bool all_mapped;
  if (!Utf8ToCp1250(utf8, out, all_mapped)) return std::string();
  return out;
}

void DecodeInputInPlace(std::string& text, size_t from) {
  std::string_view utf8 = std::string_view(text).substr(from);
  if (IsAscii(utf8)) return;
  size_t put = from;  // never passes the read position: every character shrinks or keeps its length
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp;
    if (!NextCodePoint(utf8, i, cp)) {
      text.resize(from);
      return;
    }
    bool ok;
    text[put++] = UnicodeToCp1250(cp, ok);
  }
  text.resize(put);
}

std::string EncodeOutput(std::string_view cp1250) {
  if (IsAscii(cp1250)) return std::string(cp1250);
  std::string out;
  out.reserve(cp1250.size() + cp1250.size() / 2);
  for (char c : cp1250) {
    const Utf8Sequence& s = kEncodeTable[static_cast<unsigned char>(c)];
    out.append(s.bytes, s.length);
  }
  return out;
}

std::string Cp1250(std::string_view utf8_literal) {
  if (IsAscii(utf8_literal)) return std::string(utf8_literal);
  std::string out;
  bool all_mapped;
  if (!Utf8ToCp1250(utf8_literal, out, all_mapped))
    throw Exception("Text literal is not well-formed UTF-8: " + std::string(utf8_literal));
  if (!all_mapped) throw Exception("Text literal has characters windows-1250 lacks: " + std::string(utf8_literal));
  return out;
}

}  // namespace tessaro
