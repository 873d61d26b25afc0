// Numbers as text and back, by the regional settings.
//
// Every conversion starts from the shortest decimal text that reads back as
// the same double (2.345 is "2.345", not 2.34499999999999997513...), and all
// rounding is done on that text, half away from zero. So FormatFloat("0.00",
// 2.345) is "2,35" and FloatToStr(0.1 + 0.2) is "0,3".
//
// A separator of character code 0 in the settings writes nothing. NaN and the
// infinities are written "NAN", "INF" and "-INF" by every function.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "util/regional_settings.h"

namespace tessaro {

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The general form with up to 15 significant digits and no trailing zeros:
// "0", "-0,5", "123,45". Scientific when the decimal exponent is 15 or more
// or below -4: "1E15", "1,5E20", "1E-5".
std::string FloatToStr(double value, const TFormatSettings& fs = RegionalSettings());

// `value` in one of five forms:
//   ffGeneral   as FloatToStr with `precision` significant digits; `digits` is
//               the least number of exponent digits (0..4)
//   ffExponent  "-d,ddddE+dd": `precision` significant digits in all, trailing
//               zeros kept; `digits` is the least number of exponent digits
//   ffFixed     "-ddd,dd" with `digits` decimals (0..18)
//   ffNumber    as ffFixed with thousands separators
//   ffCurrency  as ffNumber, placed with CurrencyString by CurrencyFormat
//               (positive) or NegCurrFormat (negative)
// `precision` (1..18) bounds the significant digits of every form; a fixed,
// number or currency value with more integer digits than `precision` is
// written in the general form instead.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& fs = RegionalSettings());

// `value` by a number pattern:
//   0        a digit, written always;  # a digit, written when significant
//   .        the decimal point (the first one counts); the decimal separator is
//            written before the first decimal digit that is written
//   ,        anywhere among the placeholders: thousands separators
//   E+0 E-0  scientific notation (also e+ e-); the zeros give the least number
//            of exponent digits; "+" writes the sign always, "-" only when
//            negative
//   "x" 'x'  text copied as it is; every other character is copied too
//   a;b;c    sections for positive, negative and zero values. A missing or
//            empty section falls back to the first; the first section writes
//            a negative value with a leading "-". A value that rounds to zero
//            is written by the zero section.
// Integer digits beyond the placeholders are written at the first one. An
// empty pattern gives FloatToStr.
std::string FormatFloat(std::string_view pattern, double value, const TFormatSettings& fs = RegionalSettings());

// The text of a printf-like number directive under the regional settings, as
// message formats use them: 'f' ffFixed, 'n' ffNumber, 'm' ffCurrency with
// `precision` decimals (default 2; CurrencyDecimals for 'm'), 'e' ffExponent
// with `precision` significant digits (default 15) and three exponent digits,
// 'g' ffGeneral with `precision` significant digits (default 15). A negative
// precision means the default. Throws EFormatError for any other type.
std::string FormatNumberDirective(char type, int precision, double value,
                                  const TFormatSettings& fs = RegionalSettings());

// Text to number: blanks (space, tab) around, an optional sign, digits with
// the decimal separator, an optional exponent ("E", "e", optional sign,
// digits). No thousands separators. false, `out` untouched, when the text is
// not such a number or its magnitude exceeds the double range; a magnitude
// below the smallest double reads as zero.
bool TryStrToFloat(std::string_view text, double& out, const TFormatSettings& fs = RegionalSettings());

// Text to integer: optional leading blanks, an optional sign, decimal digits
// or hexadecimal digits after "$" or "0x". Nothing may follow. false, `out`
// untouched, on anything else or a value outside the int64_t range.
bool TryStrToInt(std::string_view text, int64_t& out);

}  // namespace tessaro
