// GUIDs: the identity of stored elements and of sessions.
//
// A GUID is 16 bytes in the classic layout of one 32-bit, two 16-bit and eight
// 8-bit fields. Its text is the registry form, 38 characters:
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal, the
// fields written as numbers (the 8-bit ones in order, split 2 + 6).
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  uint8_t D4[8] = {};

  bool IsNull() const { return *this == TGUID(); }
  friend bool operator==(const TGUID&, const TGUID&) = default;
  friend auto operator<=>(const TGUID&, const TGUID&) = default;
};

// A new random GUID (version 4, RFC 4122 variant) from the kernel's random
// source. Throws Exception "CreateGUID failed" when no random bytes can be had.
TGUID CreateGUID();

// `count` bytes from the kernel's random source (keys, salts). Throws
// Exception "No random bytes available" when it cannot be read.
std::string RandomBytes(size_t count);

// The registry form, 38 characters, upper-case hexadecimal.
std::string GUIDToString(const TGUID& guid);

// Reads exactly the registry form: braces, hyphens after 8, 12, 16 and 20
// digits, hexadecimal digits of either case. false, `out` untouched, otherwise.
bool TryStringToGUID(std::string_view text, TGUID& out);

// As TryStringToGUID; throws Exception "'<text>' is not a valid GUID value".
TGUID StringToGUID(std::string_view text);

}  // namespace tessaro
