// Text operations of the expression language: number and value formatting,
// character access, trimming and padding.
//
// Formatting follows the regional settings, except STR$ with a pattern,
// which starts from the fixed settings of the portal's primary language so
// that a pattern written in a definition file means the same whatever the
// [INTERNAT] section says; its optional third and fourth operands choose the
// decimal and thousands separators.
#include <string_view>

#include "expr/builtin_functions.h"
#include "expr/expression_errors.h"
#include "util/collation.h"
#include "util/date_format.h"
#include "util/exception.h"
#include "util/format.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro::builtins {
namespace {

using TOperands = std::span<const TValue>;

// The conversion letter of each NUM$ mode; mode 4 is a percentage.
constexpr char kNumberModes[] = {'f', 'e', 'n', 'm', 'f'};
constexpr int kPercentMode = 4;

// The first character of an operand, or character code 0 for an empty one.
char FirstChar(const TValue& v) { return v.AsText().empty() ? '\0' : v.AsText()[0]; }

}  // namespace

// NUM$(mode, decimals, x): x by a printf-like number directive under the
// regional settings. A mode without a conversion letter, or a negative count
// of decimals, is a malformed directive, reported as the formatter reports it.
TValue NumberText(const TOperationDef&, TExpression&, TOperands v) {
  const int64_t mode = RoundToInt(v[0].AsNumber());
  const int64_t decimals = RoundToInt(v[1].AsNumber());
  const double x = v[2].AsNumber();
  const bool known = mode >= 0 && mode <= kPercentMode;
  if (!known || decimals < 0) {
    const std::string directive = "%." + std::to_string(decimals) + (known ? std::string(1, kNumberModes[mode]) : "");
    Format(directive, {x});  // throws EFormatError for these directives
    throw EFormatError("Format '" + directive + "' invalid");
  }
  const int precision = static_cast<int>(decimals > 99 ? 99 : decimals);
  const char letter = kNumberModes[mode];
  if (mode == kPercentMode) return TValue::String(FormatNumberDirective(letter, precision, Checked(x * 100)) + "%");
  return TValue::String(FormatNumberDirective(letter, letter == 'e' ? precision + 1 : precision, x));
}

// STR(x, width, decimals): x with thousands separators and `decimals`
// decimals, right-aligned in `width` characters; scientific when it has more
// integer digits than `width`.
TValue NumberColumn(const TOperationDef&, TExpression&, TOperands v) {
  const size_t width = TextWidth(v[1].AsNumber());
  const int64_t decimals = RoundToInt(v[2].AsNumber());
  const int precision = static_cast<int>(width > 18 ? 18 : width);
  std::string text = FloatToStrF(v[0].AsNumber(), ffNumber, precision,
                                 static_cast<int>(decimals < 0    ? 0
                                                  : decimals > 18 ? 18
                                                                  : decimals));
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return TValue::String(std::move(text));
}

// CHR(n): the character with code Round(n); a code outside the single-byte
// range is an invalid operand.
TValue Character(const TOperationDef&, TExpression&, TOperands v) {
  const int64_t code = RoundToInt(Checked(v[0].AsNumber()));
  if (code < 0 || code > 255) RaiseEvaluationError(eeInvalidOperand);
  return TValue::String(std::string(1, static_cast<char>(code)));
}

TValue StandardTextOf(const TOperationDef&, TExpression&, TOperands v) { return TValue::String(StandardText(v[0])); }

// STR$(x, pattern [, decimal separator [, thousands separator]]).
TValue FormatNumber(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& pattern = v[1].AsText();
  if (pattern.empty()) return TValue::String(StandardText(v[0]));
  if (v.size() == 2) return TValue::String(FormatFloat(pattern, v[0].AsNumber(), PrimaryLanguageSettings()));
  TFormatSettings fs = PrimaryLanguageSettings();
  fs.DecimalSeparator = FirstChar(v[2]);
  if (v.size() > 3) fs.ThousandSeparator = FirstChar(v[3]);
  return TValue::String(FormatFloat(pattern, v[0].AsNumber(), fs));
}

// STR$(date, pattern): the short date pattern replaced by `pattern`, then the
// date and, unless it is midnight, the long time.
TValue FormatDate(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& pattern = v[1].AsText();
  if (pattern.empty()) return TValue::String(StandardText(v[0]));
  TFormatSettings fs = PrimaryLanguageSettings();
  fs.ShortDateFormat = pattern;
  return TValue::String(DateTimeToStr(v[0].AsDate(), fs));
}

// STR$(boolean, "yes;no"): the part before the first ";" for true (all of
// the pattern when it has none), the part after it for false.
TValue FormatBoolean(const TOperationDef&, TExpression&, TOperands v) {
  const std::string_view pattern = v[1].AsText();
  if (pattern.empty()) return TValue::String(StandardText(v[0]));
  const size_t semicolon = pattern.find(';');
  if (v[0].AsBoolean()) return TValue::String(std::string(pattern.substr(0, semicolon)));
  return TValue::String(semicolon == std::string_view::npos ? std::string()
                                                            : std::string(pattern.substr(semicolon + 1)));
}

TValue Upper(const TOperationDef&, TExpression&, TOperands v) { return TValue::String(AnsiUpperCase(v[0].AsText())); }

TValue Length(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Number(static_cast<double>(v[0].AsText().size()));
}

// POS(sub, s): 1-based position of the first occurrence; 0 when absent or
// when sub is empty.
TValue Position(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& sub = v[0].AsText();
  const size_t at = sub.empty() ? std::string::npos : v[1].AsText().find(sub);
  return TValue::Number(at == std::string::npos ? 0 : static_cast<double>(at + 1));
}

// COPY(s, start, count): at most `count` characters from 1-based `start`.
TValue Copy(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& s = v[0].AsText();
  int64_t start = RoundToInt(v[1].AsNumber());
  const int64_t count = RoundToInt(v[2].AsNumber());
  if (start < 1) start = 1;
  if (count <= 0 || start > static_cast<int64_t>(s.size())) return TValue::String(std::string());
  return TValue::String(s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count)));
}

// JUSTIFY(s, width, mode): a shorter s centred (mode 0), left-aligned
// (negative mode) or right-aligned (positive mode) in `width` blanks.
TValue Justify(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& s = v[0].AsText();
  const size_t width = TextWidth(v[1].AsNumber());
  const double mode = v[2].AsNumber();
  if (s.size() >= width) return v[0];
  const size_t fill = width - s.size();
  const size_t before = mode == 0 ? fill / 2 : (mode < 0 ? 0 : fill);
  return TValue::String(std::string(before, ' ') + s + std::string(fill - before, ' '));
}

TValue TrimBoth(const TOperationDef&, TExpression&, TOperands v) { return TValue::String(Trim(v[0].AsText())); }
TValue TrimStart(const TOperationDef&, TExpression&, TOperands v) { return TValue::String(TrimLeft(v[0].AsText())); }
TValue TrimEnd(const TOperationDef&, TExpression&, TOperands v) { return TValue::String(TrimRight(v[0].AsText())); }

TValue PadRight(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& s = v[0].AsText();
  const size_t width = TextWidth(v[1].AsNumber());
  return s.size() >= width ? v[0] : TValue::String(s + std::string(width - s.size(), ' '));
}

TValue PadLeft(const TOperationDef&, TExpression&, TOperands v) {
  const std::string& s = v[0].AsText();
  const size_t width = TextWidth(v[1].AsNumber());
  return s.size() >= width ? v[0] : TValue::String(std::string(width - s.size(), ' ') + s);
}

}  // namespace tessaro::builtins
