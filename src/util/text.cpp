#include "util/text.h"

namespace tessaro {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string LowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

namespace {
// The windows-1250 letters whose capital is not 0x20 below them: š ś ť ž ź ł ą ş ľ ż.
constexpr unsigned char kOtherLetterCases[][2] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F},
                                                  {0xB3, 0xA3}, {0xB9, 0xA5}, {0xBA, 0xAA}, {0xBE, 0xBC}, {0xBF, 0xAF}};
}  // namespace

char AnsiUpperChar(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 0x20);  // à..ţ, not ÷
  for (const auto& pair : kOtherLetterCases)
    if (b == pair[0]) return static_cast<char>(pair[1]);
  return c;
}

std::string AnsiUpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AnsiUpperChar(c);
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;  // identical bytes are equal in any case
    unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
    unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

bool StartsText(std::string_view prefix, std::string_view s) {
  return s.size() >= prefix.size() && SameText(prefix, s.substr(0, prefix.size()));
}

namespace {
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

std::string TrimLeft(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && IsTrimmed(s[b])) ++b;
  return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && IsTrimmed(s[e - 1])) --e;
  return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(s);
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
    out.append(s.substr(pos, hit - pos));
    out.append(to);
  }
  out.append(s.substr(pos));
  return out;
}

std::string ReplaceAllText(std::string_view s, std::string_view from, std::string_view to) {
  if (from.empty() || s.size() < from.size()) return std::string(s);
  std::string out;
  size_t pos = 0;
  for (size_t i = 0; i + from.size() <= s.size();) {
    if (SameText(s.substr(i, from.size()), from)) {
      out.append(s.substr(pos, i - pos));
      out.append(to);
      i += from.size();
      pos = i;
    } else {
      ++i;
    }
  }
  out.append(s.substr(pos));
  return out;
}

}  // namespace tessaro
