// GUID creation and the registry text form.
//
// Random bytes come from getrandom(2); on a kernel without it (ENOSYS) from
// /dev/urandom. The text form lists the 16 bytes as hexadecimal pairs in this
// order, with fixed punctuation:
//
//   {D1 (4 bytes) - D2 (2) - D3 (2) - D4[0..1] - D4[2..7]}
//
// D1..D3 are numbers (written most significant byte first); D4 is bytes.
#include "util/guid.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>

#include "util/exception.h"

namespace tessaro {
namespace {

constexpr size_t kTextLength = 38;
// Positions of the 16 bytes' first hex digit in the text.
constexpr int kBytePos[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
constexpr int kHyphenPos[4] = {9, 14, 19, 24};

bool ReadFromDevice(unsigned char* buf, size_t size) {
  int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  size_t got = 0;
  while (got < size) {
    ssize_t n = read(fd, buf + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  return got == size;
}

bool RandomBytes(unsigned char* buf, size_t size) {
  size_t got = 0;
  while (got < size) {
    ssize_t n = getrandom(buf + got, size - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == ENOSYS && ReadFromDevice(buf, size);
    got += static_cast<size_t>(n);
  }
  return true;
}

// The 16 bytes in text order, and back.
void ToBytes(const TGUID& g, unsigned char b[16]) {
  for (int k = 0; k < 4; ++k) b[k] = static_cast<unsigned char>(g.D1 >> (24 - 8 * k));
  b[4] = static_cast<unsigned char>(g.D2 >> 8);
  b[5] = static_cast<unsigned char>(g.D2);
  b[6] = static_cast<unsigned char>(g.D3 >> 8);
  b[7] = static_cast<unsigned char>(g.D3);
  for (int k = 0; k < 8; ++k) b[8 + k] = g.D4[k];
}

TGUID FromBytes(const unsigned char b[16]) {
  TGUID g;
  g.D1 = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
  g.D2 = static_cast<uint16_t>(b[4] << 8 | b[5]);
  g.D3 = static_cast<uint16_t>(b[6] << 8 | b[7]);
  for (int k = 0; k < 8; ++k) g.D4[k] = b[8 + k];
  return g;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string RandomBytes(size_t count) {
  std::string bytes(count, '\0');
  if (!RandomBytes(reinterpret_cast<unsigned char*>(bytes.data()), count))
    throw Exception("No random bytes available");
  return bytes;
}

TGUID CreateGUID() {
  unsigned char b[16];
  if (!RandomBytes(b, sizeof b)) throw Exception("CreateGUID failed");
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4: random
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  return FromBytes(b);
}

std::string GUIDToString(const TGUID& guid) {
  static const char kHex[] = "0123456789ABCDEF";
  unsigned char b[16];
  ToBytes(guid, b);
  std::string text = "{00000000-0000-0000-0000-000000000000}";
  for (int k = 0; k < 16; ++k) {
    text[kBytePos[k]] = kHex[b[k] >> 4];
    text[kBytePos[k] + 1] = kHex[b[k] & 0x0F];
  }
  return text;
}

bool TryStringToGUID(std::string_view text, TGUID& out) {
  if (text.size() != kTextLength || text.front() != '{' || text.back() != '}') return false;
  for (int pos : kHyphenPos)
    if (text[pos] != '-') return false;
  unsigned char b[16];
  for (int k = 0; k < 16; ++k) {
    int high = HexValue(text[kBytePos[k]]), low = HexValue(text[kBytePos[k] + 1]);
    if (high < 0 || low < 0) return false;
    b[k] = static_cast<unsigned char>(high << 4 | low);
  }
  out = FromBytes(b);
  return true;
}

TGUID StringToGUID(std::string_view text) {
  TGUID guid;
  if (!TryStringToGUID(text, guid)) throw Exception("'" + std::string(text) + "' is not a valid GUID value");
  return guid;
}

}  // namespace tessaro
