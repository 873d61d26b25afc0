// GUID texts and the opaque visitor identifier.
//
// Stored elements and accounts are identified by GUID strings in the registry
// form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}". The user cookie carries an
// account's GUID not as it is but encoded with the identifier table: 32
// characters, each standing for one hexadecimal digit, chosen at random from
// two characters per digit, so the cookie neither shows the GUID nor repeats
// from one login to the next.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// True when `s` has 38 characters, "{" first, "}" last, and parses as a GUID.
bool IsGUIDString(std::string_view s);

// For a GUID string its 32 hexadecimal digits without braces and dashes, in
// the letter case they have; any other text unchanged.
std::string GUIDToHex(std::string_view s);

// For up to 32 hexadecimal digits (either case, kept) the GUID string, with a
// dash after the 8th, 12th, 16th and 20th digit wherever more digits follow
// (32 digits give the full registry form, "" gives "{}"). A text that holds a
// non-hexadecimal character or is longer than 32 comes back unchanged.
std::string HexToGUID(std::string_view s);

// The identifier table in effect: 32 distinct upper-case letters and digits,
// the stored table permuted once per process by a fixed-seed generator, so it
// is the same in every process of a build. Positions 0..15 are the first
// half, 16..31 the second; a character at position p stands for digit p % 16.
const std::string& IdentifierTable();

// The cookie form of a GUID string (or of bare hexadecimal digits): one table
// character per digit, from either half at random, so one identifier encodes
// differently from call to call. A GUID gives 32 characters; bare digits give
// one character each. Throws Exception when the text is neither a GUID string
// nor hexadecimal.
std::string EncodeID(std::string_view guid);

// The GUID string (upper-case) of an encoded identifier. Empty when the text
// is not exactly 32 characters long or holds a character outside the table,
// so the result is either a GUID string or empty.
std::string DecodeID(std::string_view text);

}  // namespace tessaro
