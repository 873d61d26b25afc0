// GUID texts and the encoding of the user cookie.
//
// The identifier table is 32 characters. Each hexadecimal digit v of a GUID
// is written as the table character at position v or at position 16 + v,
// picked at random; reading back, a character at position p is digit p % 16.
// So one GUID has 2^32 spellings, none of which shows the GUID itself.
//
// The table is not used in its stored order: once per process it is shuffled
// by a small linear congruential generator with a fixed seed
// (state := state * 134775813 + 1 mod 2^32; a draw below n is the high half of
// the 64-bit product state * n), swapping each position 0..30 with a later one.
// As the seed is fixed, every process of every build arrives at the same
// table, and a cookie written by one request decodes in any later one.
//
// Changing kStoredTable or kShuffleSeed changes the table and invalidates
// every user cookie already issued: all visitors have to log in again.
#include "util/identifiers.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <utility>

#include "util/exception.h"
#include "util/guid.h"

namespace tessaro {
namespace {

// 32 distinct characters that need no escaping in a cookie or a URL.
constexpr std::string_view kStoredTable = "23456789ABCDEFGHJKLMNPQRSTUVWXYZ";
constexpr uint32_t kShuffleSeed = 0x2A7E5C13;
static_assert(kStoredTable.size() == 32);

constexpr size_t kHexDigits = 32;
constexpr char kUpperHex[] = "0123456789ABCDEF";

// The shuffling generator; it never touches the process's ordinary one.
class ShuffleGenerator {
 public:
  explicit ShuffleGenerator(uint32_t seed) : state_(seed) {}
  // A number below n.
  uint32_t Below(uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<uint32_t>((uint64_t{state_} * n) >> 32);
  }

 private:
  uint32_t state_;  // advanced before every draw
};

std::string ShuffledTable() {
  std::string table(kStoredTable);
  ShuffleGenerator gen(kShuffleSeed);
  // Position k (0..30) swaps with one of k .. 30; the last never moves.
  for (uint32_t k = 0; k + 1 < table.size(); ++k) {
    uint32_t j = gen.Below(static_cast<uint32_t>(table.size()) - 1 - k);
    if (j != 0) std::swap(table[k], table[k + j]);
  }
  return table;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return c - 'a' + 10;
}

// The process's ordinary pseudo-random generator, seeded from the clock. The
// halves only vary the spelling; the identity does not depend on them.
std::minstd_rand& SpellingGenerator() {
  static std::minstd_rand gen(
      static_cast<std::minstd_rand::result_type>(std::chrono::system_clock::now().time_since_epoch().count()));
  return gen;
}

}  // namespace

bool IsGUIDString(std::string_view s) {
  TGUID guid;
  return s.size() == 38 && s.front() == '{' && s.back() == '}' && TryStringToGUID(s, guid);
}

std::string GUIDToHex(std::string_view s) {
  if (!IsGUIDString(s)) return std::string(s);
  std::string hex;
  hex.reserve(kHexDigits);
  for (char c : s.substr(1, s.size() - 2))
    if (c != '-') hex += c;
  return hex;
}

std::string HexToGUID(std::string_view s) {
  if (s.size() > kHexDigits) return std::string(s);
  for (char c : s)
    if (!IsHexDigit(c)) return std::string(s);
  std::string guid = "{";
  for (size_t k = 0; k < s.size(); ++k) {
    if (k == 8 || k == 12 || k == 16 || k == 20) guid += '-';
    guid += s[k];
  }
  guid += '}';
  return guid;
}

const std::string& IdentifierTable() {
  static const std::string table = ShuffledTable();
  return table;
}

std::string EncodeID(std::string_view guid) {
  const std::string hex = GUIDToHex(guid);
  const std::string& table = IdentifierTable();
  std::string encoded;
  encoded.reserve(hex.size());
  for (char c : hex) {
    if (!IsHexDigit(c)) throw Exception("'" + std::string(guid) + "' is not a valid GUID value");
    int half = static_cast<int>(SpellingGenerator()() & 1) * 16;
    encoded += table[half + HexValue(c)];
  }
  return encoded;
}

std::string DecodeID(std::string_view text) {
  if (text.size() != kHexDigits) return {};
  const std::string& table = IdentifierTable();
  std::string hex;
  hex.reserve(kHexDigits);
  for (char c : text) {
    size_t p = table.find(c);
    if (p == std::string::npos) return {};
    hex += kUpperHex[p % 16];
  }
  return HexToGUID(hex);
}

}  // namespace tessaro
