// Number formatting and parsing.
//
// The working form of a number is DecimalDigits: the significant digits as
// text and a decimal exponent, value = 0.d1d2d3... x 10^exponent. It is taken
// from std::to_chars, whose shortest round-trip output is exactly the decimal
// a person wrote for a double; rounding then cuts that text and carries by
// hand, so no binary representation error can tip a half the wrong way.
//
// FormatFloat works in two steps: ScanSection measures the pattern section
// (placeholders before and after the point, the first and last "0", the flags
// for thousands and exponent), then PlaceDigits walks the section again and
// puts the rounded digits into the placeholders, copying everything else.
#include "util/number_format.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <vector>

#include "util/exception.h"
#include "util/float_math.h"

namespace tessaro {
namespace {

struct DecimalDigits {
  std::string digits;     // significant digits without leading or trailing zeros; empty for zero
  int exponent = 0;       // value = 0.digits x 10^exponent
  bool negative = false;  // the sign of the value (not of zero after rounding)

  bool IsZero() const { return digits.empty(); }
  // The digit at position k of 0.digits (k = 0 is the first); '0' past the end.
  char At(int k) const { return k >= 0 && k < static_cast<int>(digits.size()) ? digits[k] : '0'; }
};

void StripTrailingZeros(DecimalDigits& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

// The shortest decimal that reads back as |value|. REQUIRES: value is finite.
DecimalDigits ToDecimal(double value) {
  DecimalDigits d;
  d.negative = std::signbit(value);
  double magnitude = std::fabs(value);
  if (magnitude == 0) return d;
  const std::string shortest = ShortestScientific(magnitude);
  std::string_view text(shortest);  // "d.ddde+XX" or "de-XX"
  size_t e = text.find('e');
  for (char c : text.substr(0, e))
    if (c != '.') d.digits.push_back(c);
  int exponent10 = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent10);
  d.exponent = exponent10 + 1;
  StripTrailingZeros(d);
  return d;
}

// Keeps the first `keep` significant digits, rounding half away from zero. A
// negative `keep` (the value lies wholly below the kept positions) gives zero.
void RoundDigits(DecimalDigits& d, int keep) {
  if (keep < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  if (static_cast<int>(d.digits.size()) <= keep) return;
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    while (!d.digits.empty() && d.digits.back() == '9') d.digits.pop_back();
    if (d.digits.empty()) {
      d.digits.push_back('1');
      ++d.exponent;
    } else {
      ++d.digits.back();
    }
  }
  StripTrailingZeros(d);
}

void RoundToSignificant(DecimalDigits& d, int significant) { RoundDigits(d, significant); }
void RoundToDecimals(DecimalDigits& d, int decimals) {
  if (!d.IsZero()) RoundDigits(d, d.exponent + decimals);
}

void AppendSeparator(std::string& out, char separator) {
  if (separator != 0) out.push_back(separator);
}

std::string NonFiniteText(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

void AppendExponent(std::string& out, int exponent, bool always_sign, int min_digits) {
  if (exponent < 0)
    out.push_back('-');
  else if (always_sign)
    out.push_back('+');
  std::string text = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(text.size()) < min_digits) out.append(min_digits - text.size(), '0');
  out += text;
}

// The integer digits of d (at least "0"), with thousands separators when asked.
void AppendIntegerPart(std::string& out, const DecimalDigits& d, char thousands) {
  int count = d.exponent > 0 ? d.exponent : 0;
  if (count == 0) {
    out.push_back('0');
    return;
  }
  for (int k = 0; k < count; ++k) {
    out.push_back(d.At(k));
    int place = count - k;  // 1 = units
    if (place > 1 && place % 3 == 1) AppendSeparator(out, thousands);
  }
}

// `decimals` decimal digits of d after the separator; nothing when decimals is 0.
void AppendDecimalPart(std::string& out, const DecimalDigits& d, int decimals, char separator) {
  if (decimals <= 0) return;
  AppendSeparator(out, separator);
  for (int k = 0; k < decimals; ++k) out.push_back(d.At(d.exponent + k));
}

// General form of an already rounded value: fixed when the exponent lies in
// [-3, precision], else scientific with the shortest mantissa.
std::string GeneralText(const DecimalDigits& d, int precision, int exponent_digits, const TFormatSettings& fs) {
  if (d.IsZero()) return "0";
  std::string out;
  if (d.negative) out.push_back('-');
  int n = static_cast<int>(d.digits.size());
  if (d.exponent > precision || d.exponent < -3) {
    out.push_back(d.digits[0]);
    if (n > 1) {
      AppendSeparator(out, fs.DecimalSeparator);
      out.append(d.digits, 1);
    }
    out.push_back('E');
    AppendExponent(out, d.exponent - 1, false, exponent_digits);
    return out;
  }
  AppendIntegerPart(out, d, 0);
  AppendDecimalPart(out, d, n - d.exponent, fs.DecimalSeparator);
  return out;
}

std::string ExponentText(DecimalDigits d, int precision, int exponent_digits, const TFormatSettings& fs) {
  RoundToSignificant(d, precision);
  std::string out;
  if (d.negative && !d.IsZero()) out.push_back('-');
  out.push_back(d.At(0));
  if (precision > 1) {
    AppendSeparator(out, fs.DecimalSeparator);
    for (int k = 1; k < precision; ++k) out.push_back(d.At(k));
  }
  out.push_back('E');
  AppendExponent(out, d.IsZero() ? 0 : d.exponent - 1, true, exponent_digits);
  return out;
}

// Places the number text around the currency string by the settings' patterns,
// where '$' stands for the currency and '1' for the number.
std::string PlaceCurrency(const std::string& number, bool negative, const TFormatSettings& fs) {
  static const char* const kPositive[4] = {"$1", "1$", "$ 1", "1 $"};
  static const char* const kNegative[16] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                            "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  const char* layout;
  if (negative)
    layout = kNegative[fs.NegCurrFormat >= 0 && fs.NegCurrFormat < 16 ? fs.NegCurrFormat : 0];
  else
    layout = kPositive[fs.CurrencyFormat >= 0 && fs.CurrencyFormat < 4 ? fs.CurrencyFormat : 0];
  std::string out;
  for (const char* p = layout; *p; ++p) {
    if (*p == '$')
      out += fs.CurrencyString;
    else if (*p == '1')
      out += number;
    else
      out.push_back(*p);
  }
  return out;
}

std::string FixedText(DecimalDigits d, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  DecimalDigits general = d;
  RoundDigits(d, std::min(precision, d.exponent + digits));
  if (d.exponent > precision) {
    RoundToSignificant(general, precision);
    return GeneralText(general, precision, 0, fs);
  }
  std::string number;
  bool negative = d.negative && !d.IsZero();
  if (negative && format != ffCurrency) number.push_back('-');
  AppendIntegerPart(number, d, format == ffFixed ? 0 : fs.ThousandSeparator);
  AppendDecimalPart(number, d, digits, fs.DecimalSeparator);
  return format == ffCurrency ? PlaceCurrency(number, negative, fs) : number;
}

// ---- FormatFloat ----

// What ScanSection learns about one pattern section.
struct SectionLayout {
  int placeholders = 0;     // "0" and "#" in all
  int integer_places = 0;   // placeholders before the decimal point
  int min_integer = 0;      // integer digits always written (from the first "0" on)
  int min_decimals = 0;     // decimal digits always written (up to the last "0")
  bool thousands = false;   // a "," occurs
  bool scientific = false;  // an "E+" or "E-" occurs
};

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The index after the quoted text that opens at text[i].
size_t SkipQuoted(std::string_view text, size_t i) {
  size_t close = text.find(text[i], i + 1);
  return close == std::string_view::npos ? text.size() : close + 1;
}

bool IsExponentAt(std::string_view text, size_t i) {
  return (text[i] == 'E' || text[i] == 'e') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-');
}

// The pattern's sections (at most three), split at ";" outside quotes.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  for (size_t i = 0; i < pattern.size();) {
    if (IsQuote(pattern[i])) {
      i = SkipQuoted(pattern, i);
    } else if (pattern[i] == ';') {
      sections.push_back(pattern.substr(start, i - start));
      if (sections.size() == 3) return sections;
      start = ++i;
    } else {
      ++i;
    }
  }
  sections.push_back(pattern.substr(start));
  return sections;
}

SectionLayout ScanSection(std::string_view section) {
  SectionLayout layout;
  int decimal_index = -1, first_zero = INT_MAX, last_zero = 0;
  for (size_t i = 0; i < section.size();) {
    char c = section[i];
    if (IsQuote(c)) {
      i = SkipQuoted(section, i);
      continue;
    }
    if (IsExponentAt(section, i)) {
      layout.scientific = true;
      i += 2;
      while (i < section.size() && section[i] == '0') ++i;
      continue;
    }
    if (c == ',') layout.thousands = true;
    if (c == '.' && decimal_index < 0) decimal_index = layout.placeholders;
    if (c == '0') {
      first_zero = std::min(first_zero, layout.placeholders);
      last_zero = layout.placeholders + 1;
    }
    if (c == '0' || c == '#') ++layout.placeholders;
    ++i;
  }
  layout.integer_places = decimal_index < 0 ? layout.placeholders : decimal_index;
  layout.min_decimals = std::max(last_zero - layout.integer_places, 0);
  layout.min_integer = first_zero == INT_MAX ? 0 : std::max(layout.integer_places - first_zero, 0);
  return layout;
}

// The digits one section writes: integer digits (most significant first) and
// decimal digits, both already padded to the section's minimums.
struct PlacedNumber {
  std::string integer;
  std::string decimals;
  int exponent = 0;  // the exponent written after "E+"/"E-"
};

PlacedNumber Arrange(const DecimalDigits& d, const SectionLayout& layout) {
  PlacedNumber n;
  int point = d.exponent;  // how many of the digits stand before the decimal point
  if (layout.scientific && !d.IsZero()) {
    point = layout.integer_places;
    n.exponent = d.exponent - layout.integer_places;
  }
  for (int k = 0; k < point; ++k) n.integer.push_back(d.At(k));
  // At() gives the zeros between the point and a value below 0.1.
  for (int k = point; k < static_cast<int>(d.digits.size()); ++k) n.decimals.push_back(d.At(k));
  if (static_cast<int>(n.integer.size()) < layout.min_integer)
    n.integer.insert(0, layout.min_integer - n.integer.size(), '0');
  if (static_cast<int>(n.decimals.size()) < layout.min_decimals)
    n.decimals.append(layout.min_decimals - n.decimals.size(), '0');
  return n;
}

// Walks the section and writes it with the digits of `n` in its placeholders.
void PlaceDigits(std::string& out, std::string_view section, const SectionLayout& layout, const PlacedNumber& n,
                 const TFormatSettings& fs) {
  const int integer_count = static_cast<int>(n.integer.size());
  auto put_integer_digit = [&](int place) {  // place 1 = units
    out.push_back(n.integer[integer_count - place]);
    if (layout.thousands && place > 1 && place % 3 == 1) AppendSeparator(out, fs.ThousandSeparator);
  };
  int index = 0;  // placeholders seen so far
  for (size_t i = 0; i < section.size();) {
    char c = section[i];
    if (IsQuote(c)) {
      size_t close = section.find(c, i + 1);
      if (close == std::string_view::npos) close = section.size();
      out.append(section.substr(i + 1, close - (i + 1)));
      i = close < section.size() ? close + 1 : close;
      continue;
    }
    if (IsExponentAt(section, i)) {
      bool always_sign = section[i + 1] == '+';
      out.push_back(c);
      i += 2;
      int min_digits = 0;
      while (i < section.size() && section[i] == '0') ++i, ++min_digits;
      AppendExponent(out, n.exponent, always_sign, min_digits);
      continue;
    }
    ++i;
    if (c == '.' || c == ',') continue;
    if (c != '0' && c != '#') {
      out.push_back(c);
      continue;
    }
    if (index == 0)  // integer digits that have no placeholder of their own
      for (int place = integer_count; place > layout.integer_places; --place) put_integer_digit(place);
    if (index < layout.integer_places) {
      int place = layout.integer_places - index;
      if (place <= integer_count) put_integer_digit(place);
    } else {
      int k = index - layout.integer_places;  // 0 = first decimal place
      if (k < static_cast<int>(n.decimals.size())) {
        if (k == 0) AppendSeparator(out, fs.DecimalSeparator);
        out.push_back(n.decimals[k]);
      }
    }
    ++index;
  }
}

// Rounds |value| for the section: to its decimal places, or to its number of
// placeholders as significant digits in scientific notation.
DecimalDigits RoundForSection(double value, const SectionLayout& layout) {
  DecimalDigits d = ToDecimal(value);
  if (layout.scientific)
    RoundToSignificant(d, std::max(layout.placeholders, 1));
  else
    RoundToDecimals(d, layout.placeholders - layout.integer_places);
  return d;
}

// ---- parsing ----

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string FloatToStr(double value, const TFormatSettings& fs) { return FloatToStrF(value, ffGeneral, 15, 0, fs); }

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  precision = std::clamp(precision, 1, 18);
  DecimalDigits d = ToDecimal(value);
  switch (format) {
    case ffGeneral:
      RoundToSignificant(d, precision);
      return GeneralText(d, precision, std::clamp(digits, 0, 4), fs);
    case ffExponent:
      return ExponentText(d, precision, std::clamp(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency:
      return FixedText(d, format, precision, std::clamp(digits, 0, 18), fs);
  }
  return std::string();
}

std::string FormatFloat(std::string_view pattern, double value, const TFormatSettings& fs) {
  if (pattern.empty()) return FloatToStr(value, fs);
  if (!std::isfinite(value)) return NonFiniteText(value);
  std::vector<std::string_view> sections = SplitSections(pattern);
  auto usable = [&](size_t index) { return index < sections.size() && !sections[index].empty() ? index : 0; };
  size_t chosen = usable(value > 0 ? 0 : (value < 0 ? 1 : 2));
  SectionLayout layout = ScanSection(sections[chosen]);
  DecimalDigits d = RoundForSection(value, layout);
  if (d.IsZero() && chosen != 2) {
    chosen = usable(2);
    layout = ScanSection(sections[chosen]);
    d = DecimalDigits();
  }
  std::string out;
  if (d.negative && !d.IsZero() && chosen == 0) out.push_back('-');
  PlaceDigits(out, sections[chosen], layout, Arrange(d, layout), fs);
  return out;
}

std::string FormatNumberDirective(char type, int precision, double value, const TFormatSettings& fs) {
  switch (type) {
    case 'f':
      return FloatToStrF(value, ffFixed, 18, precision < 0 ? 2 : precision, fs);
    case 'n':
      return FloatToStrF(value, ffNumber, 18, precision < 0 ? 2 : precision, fs);
    case 'm':
      return FloatToStrF(value, ffCurrency, 18, precision < 0 ? fs.CurrencyDecimals : precision, fs);
    case 'e':
      return FloatToStrF(value, ffExponent, precision < 0 ? 15 : precision, 3, fs);
    case 'g':
      return FloatToStrF(value, ffGeneral, precision < 0 ? 15 : precision, 0, fs);
    default:
      throw EFormatError(std::string("Number directive '") + type + "' unknown");
  }
}

bool TryStrToFloat(std::string_view text, double& out, const TFormatSettings& fs) {
  text = TrimBlanks(text);
  std::string normal;  // the number rewritten in the C form: [-]digits[.digits][e[-]digits]
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normal.push_back('-');
    ++i;
  }
  int digit_count = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digit_count) normal.push_back(text[i]);
  if (i < text.size() && fs.DecimalSeparator != 0 && text[i] == fs.DecimalSeparator) {
    normal.push_back('.');
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digit_count) normal.push_back(text[i]);
  }
  if (digit_count == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    normal.push_back('e');
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      if (text[i] == '-') normal.push_back('-');
      ++i;
    }
    if (i >= text.size() || !IsDigit(text[i])) return false;
    for (; i < text.size() && IsDigit(text[i]); ++i) normal.push_back(text[i]);
  }
  if (i != text.size()) return false;
  double value = 0;
  if (!ParseCNumber(normal, value)) return false;  // too large for a double
  out = value;
  return true;
}

bool TryStrToInt(std::string_view text, int64_t& out) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  // Accumulate the magnitude unsigned; INT64_MIN has one more than INT64_MAX.
  const uint64_t limit = negative ? uint64_t{1} << 63 : uint64_t{INT64_MAX};
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit;
    if (IsDigit(c))
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    if (value > (limit - digit) / base) return false;
    value = value * base + digit;
  }
  out = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  return true;
}

}  // namespace tessaro
