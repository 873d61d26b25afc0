// Base64 encoding and decoding.
//
// Every three bytes become four characters of six bits each, taken from the
// 64-character alphabet below; a final group of one or two bytes is padded
// with "=" so the text is always a multiple of four characters long.
//
// Decoding is lenient because its input comes from settings files, cookies
// and request fields: anything outside the alphabet is skipped rather than
// refused, and the first "=" is taken as the end of the data (padding is only
// ever at the end). The output is at most three quarters of the input, so no
// input can make it grow beyond that.
#include "util/base64.h"

#include <array>
#include <cstdint>

namespace tessaro {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The six-bit value of each byte, or -1 for bytes outside the alphabet.
constexpr std::array<int8_t, 256> MakeDecodeTable() {
  std::array<int8_t, 256> table{};
  for (auto& v : table) v = -1;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  return table;
}
constexpr std::array<int8_t, 256> kDecode = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::string_view data) {
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    uint32_t group = static_cast<unsigned char>(data[i]) << 16 | static_cast<unsigned char>(data[i + 1]) << 8 |
                     static_cast<unsigned char>(data[i + 2]);
    out += kAlphabet[group >> 18];
    out += kAlphabet[(group >> 12) & 63];
    out += kAlphabet[(group >> 6) & 63];
    out += kAlphabet[group & 63];
  }
  size_t rest = data.size() - i;
  if (rest > 0) {
    uint32_t group = static_cast<unsigned char>(data[i]) << 16;
    if (rest == 2) group |= static_cast<unsigned char>(data[i + 1]) << 8;
    out += kAlphabet[group >> 18];
    out += kAlphabet[(group >> 12) & 63];
    out += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 2);
  uint32_t group = 0;  // the sextets collected so far, oldest highest
  int count = 0;       // how many sextets `group` holds
  for (char c : text) {
    if (c == '=') break;
    int v = kDecode[static_cast<unsigned char>(c)];
    if (v < 0) continue;
    group = group << 6 | static_cast<uint32_t>(v);
    if (++count == 4) {
      out += static_cast<char>(group >> 16);
      out += static_cast<char>((group >> 8) & 0xFF);
      out += static_cast<char>(group & 0xFF);
      group = 0;
      count = 0;
    }
  }
  // Two sextets hold one byte, three hold two; a single one holds none.
  if (count == 2) {
    out += static_cast<char>(group >> 4);
  } else if (count == 3) {
    out += static_cast<char>(group >> 10);
    out += static_cast<char>((group >> 2) & 0xFF);
  }
  return out;
}

bool IsStrictBase64(std::string_view text) {
  if (text.size() % 4 != 0) return false;
  size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  for (size_t i = 0; i < text.size() - padding; ++i) {
    const char c = text[i];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/'))
      return false;
  }
  return true;
}

}  // namespace tessaro
