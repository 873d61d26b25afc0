// The text rules of the portal's language for windows-1250 text: the
// case-sensitive collation used when expressions compare strings. (Upper case
// is AnsiUpperCase of util/text.h.)
#pragma once

#include <string>
#include <string_view>

#include "util/text.h"

namespace tessaro {

// Compares two windows-1250 texts by the Czech alphabet, negative, zero or
// positive like strcmp. Letters compare first by their letter (a, á and A are
// one letter; č, ř, š, ž and the pair "ch" are letters of their own that
// follow c, r, s, z and h), then by accent, then by case (lower case first);
// texts equal in all of these compare by their bytes, so only identical texts
// are equal. Other characters sort before digits, digits before letters.
int AnsiCompareStr(std::string_view a, std::string_view b);

}  // namespace tessaro
