// Base64 with the RFC 2045 alphabet ("A-Z a-z 0-9 + /", "=" padding). Settings
// files and name=value lists carry whole string lists in one value this way.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// The Base64 text of `data`, padded with "=" to a multiple of four characters
// and written as one line (a value of a name=value list must not break).
std::string Base64Encode(std::string_view data);

// The bytes of a Base64 text. Never fails: characters outside the alphabet
// (line breaks, blanks, anything else) are skipped, the first "=" ends the
// data, and a trailing group too short to hold a byte is dropped.
std::string Base64Decode(std::string_view text);

// Whether `text` is Base64 as Base64Encode writes it: alphabet characters
// only, in groups of four, with at most two "=" at the very end. Values that
// come from a visitor are checked with it before they are decoded.
bool IsStrictBase64(std::string_view text);

}  // namespace tessaro
