// Rounding and binary scaling of doubles without the maths library.
//
// These are the only maths-library functions the program needs; doing them
// here keeps libm out of the CGI program, which would otherwise be mapped and
// relocated on every request.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

// The nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3), for
// |value| < 2^63; beyond that the nearest 64-bit limit, and 0 for NaN.
int64_t RoundHalfAway(double value);

// value * 2^exponent, rounded once, for any exponent: results beyond the
// double range become infinity or zero, as a single multiplication would.
double ScaleByPowerOfTwo(double value, int exponent);

// Reads the whole of `text` as a number in the C form: an optional "-",
// digits with an optional "." and fraction, an optional exponent ("e",
// sign, digits), or "inf"/"nan". A value too large for a double, a leading
// "+" or blank, a hexadecimal form and any other text give false; a value too
// small gives zero or the nearest subnormal.
bool ParseCNumber(std::string_view text, double& out);

// The fewest significant digits (at most 17) that read back as exactly
// `value`, in the C scientific form "d.ddde+XX" (trailing zeros of the
// digits possible). REQUIRES: value is finite.
std::string ShortestScientific(double value);

// `value` rounded to `digits` significant decimal digits (1..17), read back
// as a double. Values that are not finite come back unchanged.
double RoundToSignificantDigits(double value, int digits);

}  // namespace tessaro
