// Reading field values held in memory. The memory data set and the ODBC data
// set keep their records as TFieldValue cells, so both read them here and a
// field shows the same text whichever of them holds it.
#include "db/field_value.h"

#include <cmath>

#include "db/field_types.h"
#include "util/date_format.h"
#include "util/float_math.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

bool HoldsDateTime(TFieldType type) { return IsTemporalFieldType(type) || type == TFieldType::ftTimeStamp; }

bool IsFloatType(TFieldType type) {
  return type == TFieldType::ftFloat || type == TFieldType::ftCurrency || type == TFieldType::ftBCD ||
         type == TFieldType::ftFMTBcd;
}

// An exact decimal ("-12.50") as display text: no trailing zeros after the
// point, a zero before a bare point, the regional decimal separator. A text
// that is not such a decimal is returned unchanged.
std::string DecimalText(const std::string& text) {
  size_t digits_start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  const size_t point = text.find('.');
  for (size_t i = digits_start; i < text.size(); ++i)
    if (i != point && (text[i] < '0' || text[i] > '9')) return text;
  if (digits_start == text.size() || text == "-." || text == "+.") return text;
  std::string result = text.substr(0, digits_start);
  std::string whole = text.substr(digits_start, point == std::string::npos ? std::string::npos : point - digits_start);
  result += whole.empty() ? "0" : whole;
  if (point != std::string::npos) {
    std::string fraction = text.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) {
      const char separator = RegionalSettings().DecimalSeparator;
      if (separator != 0) result += separator;
      result += fraction;
    }
  }
  return result;
}

[[noreturn]] void NotConvertible(const TFieldValue& value, TFieldType type, const char* what) {
  throw Exception("'" + FieldValueAsString(value, type) + "' is not a valid " + what);
}

// The texts of a boolean's two values from "true;false" (empty: True/False).
std::string BooleanText(bool value, const std::string& display_values) {
  if (display_values.empty()) return value ? "True" : "False";
  const size_t semicolon = display_values.find(';');
  if (value) return display_values.substr(0, semicolon);
  return semicolon == std::string::npos ? std::string() : display_values.substr(semicolon + 1);
}

}  // namespace

const TFormatSettings& PointFormatSettings() {
  static const TFormatSettings settings = [] {
    TFormatSettings fs = CzechFormatSettings();
    fs.DecimalSeparator = '.';
    fs.ThousandSeparator = 0;
    return fs;
  }();
  return settings;
}

std::string FieldValueAsString(const TFieldValue& value, TFieldType type) {
  if (const auto* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "True" : "False";
  if (const auto* s = std::get_if<std::string>(&value)) return IsNumericFieldType(type) ? DecimalText(*s) : *s;
  if (const auto* d = std::get_if<double>(&value)) {
    switch (type) {
      case TFieldType::ftDate:
        return DateToStr(*d);
      case TFieldType::ftTime:
        return TimeToStr(*d);
      default:
        return HoldsDateTime(type) ? DateTimeToStr(*d) : FloatToStr(*d);
    }
  }
  return std::string();
}

double FieldValueAsFloat(const TFieldValue& value, TFieldType type) {
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
  double parsed;
  if (const auto* s = std::get_if<std::string>(&value))
    if ((IsNumericFieldType(type) && TryStrToFloat(*s, parsed, PointFormatSettings())) || TryStrToFloat(*s, parsed))
      return parsed;
  NotConvertible(value, type, "floating point value");
}

int64_t FieldValueAsLargeInt(const TFieldValue& value, TFieldType type) {
  if (const auto* i = std::get_if<int64_t>(&value)) return *i;
  if (const auto* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
  if (const auto* d = std::get_if<double>(&value); d != nullptr && std::fabs(*d) < 9.2e18) return RoundHalfAway(*d);
  if (const auto* s = std::get_if<std::string>(&value)) {
    int64_t parsed;
    if (TryStrToInt(*s, parsed)) return parsed;
    double number;
    if (IsNumericFieldType(type) && TryStrToFloat(*s, number, PointFormatSettings()) && std::fabs(number) < 9.2e18)
      return RoundHalfAway(number);
  }
  NotConvertible(value, type, "integer value");
}

bool FieldValueAsBoolean(const TFieldValue& value, TFieldType type) {
  if (const auto* b = std::get_if<bool>(&value)) return *b;
  if (const auto* i = std::get_if<int64_t>(&value)) return *i != 0;
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (SameText(*s, "True")) return true;
    if (SameText(*s, "False")) return false;
  }
  NotConvertible(value, type, "boolean value");
}

TDateTime FieldValueAsDateTime(const TFieldValue& value, TFieldType type) {
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
  TDateTime parsed;
  if (const auto* s = std::get_if<std::string>(&value); s != nullptr && TryStrToDateTime(*s, parsed)) return parsed;
  NotConvertible(value, type, "date and time");
}

std::string FieldValueDisplayText(const TFieldValue& value, const TField& field) {
  if (IsNullValue(value)) return std::string();
  const TFieldType type = field.DataType();
  if (type == TFieldType::ftBoolean && !std::holds_alternative<std::string>(value))
    return BooleanText(FieldValueAsBoolean(value, type), field.DisplayValues());
  if (IsNumericFieldType(type)) {
    // A text that is no number (a typeless database allows one) shows as it is.
    const bool is_text = std::holds_alternative<std::string>(value);
    double number;
    if (!field.DisplayFormat().empty() && (!is_text || TryStrToFloat(std::get<std::string>(value), number, PointFormatSettings())))
      return FormatFloat(field.DisplayFormat(), FieldValueAsFloat(value, type));
    if (IsFloatType(type) && std::holds_alternative<double>(value))
      return FloatToStrF(std::get<double>(value), ffGeneral, field.Precision(), 0);
  } else if (HoldsDateTime(type) && !field.DisplayFormat().empty() && std::holds_alternative<double>(value)) {
    return FormatDateTime(field.DisplayFormat(), std::get<double>(value));
  }
  return FieldValueAsString(value, type);
}

}  // namespace tessaro
