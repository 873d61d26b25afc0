// The four-digit code derived from a visitor's session and a number (the
// picture and registration pages pass today's day number), shown in the
// security-code picture and checked when the form comes back.
#pragma once

#include <cstdint>
#include <string_view>

namespace tessaro {

// The checksum of `bytes`: table entries built most-significant-bit first,
// updated least-significant-bit first; 0 for no bytes.
uint32_t SessionChecksum(std::string_view bytes);

// A number from 999 to 9999. The session identifier's bytes are XORed with
// the number's four bytes (least significant first, repeating) and
// checksummed; the magnitude is scaled into four digits. The two checksums
// that give no such magnitude (0 and -2^31) yield 999.
int SessionCode(std::string_view session_id, int32_t number);

}  // namespace tessaro
