// Small text tests and quote handling used where tag parameters, settings and
// metadata values are turned into markup or expressions.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// True when `s` is not empty, holds only the digits 0-9 and its value fits a
// 32-bit signed integer (leading zeros allowed: "007" is 7).
bool IsUnsignedDecimal(std::string_view s);

// `s` without its first and last character when it is longer than one
// character and both are double quotes; otherwise `s` unchanged.
std::string UnquoteOnce(std::string_view s);

// Trims `s`, drops one leading double quote and trims again, then drops one
// trailing double quote.
std::string StripQuotes(std::string_view s);

// Trims `s`; a non-empty result that is not IsUnsignedDecimal and does not
// start with a double quote is enclosed in double quotes, anything else is
// returned trimmed.
std::string QuoteIfText(std::string_view s);

// The closing tag of an opening tag: "</" followed by `tag` from its second
// character on ("<b>" gives "</b>", "" gives "</").
std::string ClosingTag(std::string_view tag);

}  // namespace tessaro
