// Small text helpers shared by every subsystem: case-insensitive comparison of
// names (ASCII letters fold; other bytes compare as they are) and trimming of
// the control characters and blanks (codes 0 to 32) at the ends of a text.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

char AsciiLower(char c);
char AsciiUpper(char c);
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Upper case of windows-1250 text: ASCII letters and the code page's other
// letters (Czech and the other Central European ones); other bytes unchanged.
char AnsiUpperChar(char c);
std::string AnsiUpperCase(std::string_view s);

bool SameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view s);
// Negative, zero or positive like strcmp, comparing ASCII letters without case.
int CompareText(std::string_view a, std::string_view b);

std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// The same, finding `from` without regard to the case of ASCII letters.
std::string ReplaceAllText(std::string_view s, std::string_view from, std::string_view to);

}  // namespace tessaro
