// Conversion between the portal's internal code page, windows-1250, and UTF-8.
//
// Text inside the portal is single-byte windows-1250; request values arrive as
// UTF-8 and are converted once on entry (DecodeInput), and every text a tag
// inserts into a page is converted back on the way out (EncodeOutput). The
// mapping is a fixed table, so the result never depends on the process's locale.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// The Unicode code point of a windows-1250 byte. The five bytes the code page
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) give '?'.
char32_t Cp1250ToUnicode(unsigned char byte);

// The windows-1250 byte of a code point. When the code page lacks the
// character, `ok` is false and the result is '?'.
char UnicodeToCp1250(char32_t code_point, bool& ok);

// Whether `text` is well-formed UTF-8: no overlong forms, no surrogates, nothing
// above U+10FFFF, no truncated or stray continuation bytes.
bool IsValidUtf8(std::string_view text);

// UTF-8 to windows-1250. A text that is not well-formed UTF-8 gives the empty
// string (a visitor's malformed value is dropped, never half-converted);
// characters windows-1250 lacks become '?'.
std::string DecodeInput(std::string_view utf8);

// windows-1250 to UTF-8. The undefined bytes (see Cp1250ToUnicode) become '?',
// so the output is always well-formed UTF-8.
std::string EncodeOutput(std::string_view cp1250);

// A text literal written in UTF-8 source, converted to windows-1250. Throws
// Exception when the literal is not well-formed UTF-8 or holds a character
// windows-1250 lacks: either is a programming error.
std::string Cp1250(std::string_view utf8_literal);

}  // namespace tessaro
