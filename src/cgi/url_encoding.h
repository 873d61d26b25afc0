// URL decoding and encoding of request fields, cookie fields and tag
// parameters, and the splitting of a query, body or cookie header into fields.
#pragma once

#include <string>
#include <string_view>

#include "util/string_list.h"

namespace tessaro {

// "+" becomes a blank, "%%" a percent sign, "%" and two hexadecimal digits the
// byte of that value; every other byte is copied. Throws Exception with
// "Error decoding URL style (%XX) encoded string at position N" when fewer than
// two characters follow a "%", and "Invalid URL encoded character (%xy) at
// position N" when they are not hexadecimal. N is the 0-based offset of the
// character after the "%".
std::string UrlDecode(std::string_view text);

// Letters, digits and * @ . _ - $ ! ' ( ) stay; a blank becomes "+"; every
// other byte becomes "%" and two lower-case hexadecimal digits.
std::string UrlEncode(std::string_view text);
// A windows-1250 text as a value of a link's query: UrlEncode of its UTF-8
// form, the form in which the request decoder expects it back.
std::string UrlEncodeText(std::string_view cp1250);

// Splits `text` into fields at any of `separators`. A double-quoted stretch
// stays in one field; characters in `skip_before` are skipped before each
// field; empty fields are dropped; with `decode` every field is URL-decoded
// whole. A NUL byte ends the text. Fields are appended to `out`.
void SplitFields(std::string_view text, std::string_view separators, std::string_view skip_before, bool decode,
                 TStrings& out);

}  // namespace tessaro
