#include "util/float_math.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tessaro {
namespace {

// 2^exponent for a normal exponent (-1022..1023), built from its bits.
double PowerOfTwo(int exponent) { return std::bit_cast<double>(static_cast<uint64_t>(exponent + 1023) << 52); }

// The C locale, so that the decimal point is "." whatever the process's
// locale; created on first use.
locale_t CLocale() {
  static locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c_locale;
}

// `value` in printf's "%.*e" form with `digits` significant digits, in the C
// locale whatever the process's locale is.
std::string ScientificText(double value, int digits) {
  char buffer[40];
  locale_t c_locale = CLocale();
  locale_t previous = c_locale ? uselocale(c_locale) : static_cast<locale_t>(nullptr);
  int length = std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
  if (previous) uselocale(previous);
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

// Whether `text` reads back as exactly `value`.
bool ReadsBackAs(const std::string& text, double value) {
  double back;
  return ParseCNumber(text, back) && back == value;
}

}  // namespace

std::string ShortestScientific(double value) {
  // A normal double carries 15 decimal digits faithfully, so a value
  // written with at most 15 comes back from its correctly rounded 15 digits;
  // others need 16 or 17, and the correctly rounded text of a length is the
  // one that reads back if any of that length does. Subnormal values hold
  // fewer digits, so for them every length is tried.
  const int first = std::fabs(value) < 2.2250738585072014e-308 ? 1 : 15;
  for (int digits = first; digits < 17; ++digits) {
    std::string text = ScientificText(value, digits);
    if (ReadsBackAs(text, value)) return text;
  }
  return ScientificText(value, 17);
}

double RoundToSignificantDigits(double value, int digits) {
  if (!std::isfinite(value)) return value;
  double rounded;
  return ParseCNumber(ScientificText(value, digits), rounded) ? rounded : value;
}

bool ParseCNumber(std::string_view text, double& out) {
  if (text.empty()) return false;
  const char first = text[0];
  if (first != '-' && first != '.' && (first < '0' || first > '9') && first != 'i' && first != 'I' && first != 'n' &&
      first != 'N')
    return false;
  if (text.find_first_of("xX") != std::string_view::npos) return false;
  const std::string copy(text);  // strtod needs the terminating NUL
  char* end = nullptr;
  locale_t c_locale = CLocale();
  const double value = c_locale ? strtod_l(copy.c_str(), &end, c_locale) : std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size()) return false;
  const bool written_infinite = copy.find_first_of("iI") != std::string::npos;
  if (std::isinf(value) && !written_infinite) return false;
  out = value;
  return true;
}

int64_t RoundHalfAway(double value) {
  // Outside the range the conversion would be undefined; callers check the
  // range first, this only keeps a slip from becoming undefined behaviour.
  if (!(std::fabs(value) < 9223372036854775808.0)) return std::isnan(value) ? 0 : (value > 0 ? INT64_MAX : INT64_MIN);
  // Conversion truncates towards zero; the remaining fraction of a double
  // below 2^63 is exact, so the comparison with one half is too.
  const int64_t whole = static_cast<int64_t>(value);
  const double fraction = value - static_cast<double>(whole);
  if (fraction >= 0.5) return whole + 1;
  if (fraction <= -0.5) return whole - 1;
  return whole;
}

double ScaleByPowerOfTwo(double value, int exponent) {
  // Large exponents are applied in steps, so that for a value of at least 1
  // the intermediate stays normal and only the last multiplication rounds (a
  // step down is 2^-969: 53 bits short of the subnormal range). After two
  // steps any remaining excess can only give infinity or zero, which the
  // clamped last step gives as well.
  if (exponent > 1023) {
    value *= PowerOfTwo(1023);
    exponent -= 1023;
    if (exponent > 1023) {
      value *= PowerOfTwo(1023);
      exponent -= 1023;
      if (exponent > 1023) exponent = 1023;
    }
  } else if (exponent < -1022) {
    value *= PowerOfTwo(-969);
    exponent += 969;
    if (exponent < -1022) {
      value *= PowerOfTwo(-969);
      exponent += 969;
      if (exponent < -1022) exponent = -1022;
    }
  }
  return value * PowerOfTwo(exponent);
}

}  // namespace tessaro
