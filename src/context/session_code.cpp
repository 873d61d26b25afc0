#include "context/session_code.h"

#include <array>
#include <string>

namespace tessaro {
namespace {

std::array<uint32_t, 256> BuildTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t v = i << 24;
    for (int bit = 0; bit < 8; ++bit) v = (v & 0x80000000u) ? (v << 1) ^ 0x04C11DB7u : v << 1;
    table[i] = v;
  }
  return table;
}

}  // namespace

uint32_t SessionChecksum(std::string_view bytes) {
  if (bytes.empty()) return 0;
  static const std::array<uint32_t, 256> table = BuildTable();
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

int SessionCode(std::string_view session_id, int32_t number) {
  std::string bytes(session_id);
  uint32_t n = static_cast<uint32_t>(number);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ ((n >> (8 * (i % 4))) & 0xFF));
  int32_t checksum = static_cast<int32_t>(SessionChecksum(bytes));
  // 0 and -2^31 have no four-digit magnitude: both get the lowest code.
  if (checksum == 0 || checksum == INT32_MIN) return 999;
  int64_t v = checksum < 0 ? -static_cast<int64_t>(checksum) : checksum;
  while (v < 999) v *= 10;
  while (v >= 10000) v /= 10;
  return static_cast<int>(v);
}

}  // namespace tessaro
