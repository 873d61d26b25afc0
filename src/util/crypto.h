// Message digests and authentication codes for values the portal hands out
// and must recognise again (the signed user cookie), from libcrypto.
//
// libcrypto is not linked into the program: it is opened the first time one
// of these functions runs, so requests that never sign or check anything do
// not pay for loading it. Every function throws Exception naming the library
// when it cannot be loaded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaro {

// The 32-byte SHA-256 digest of `data`.
std::string Sha256(std::string_view data);

// The 32-byte HMAC-SHA256 of `data` under `key`.
std::string HmacSha256(std::string_view key, std::string_view data);

// Whether `a` and `b` hold the same bytes, in a time that depends only on
// their length (so that a forger learns nothing from how long it took).
bool SameBytes(std::string_view a, std::string_view b);

// Lower-case hexadecimal text of `bytes`, two digits a byte.
std::string HexText(std::string_view bytes);

// The bytes of a hexadecimal text (either case); nothing when the length is
// odd or a character is not a hexadecimal digit.
std::optional<std::string> HexBytes(std::string_view text);

}  // namespace tessaro
