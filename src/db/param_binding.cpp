// Parameter values from the names and texts of a request.
//
// A parameter's name may force its type ("PID.Integer"), so that SQL written
// for one database binds correctly without a parameter definition. Request
// values arrive as text; they are converted here by the parameter's type,
// and a text that does not convert fails the page instead of reaching the
// database as something else. Numbers are read in the fixed "." form first,
// so a value written by a program reads the same under every regional
// setting, and in the visitor's regional form second.
#include "db/param_binding.h"

#include <cstdint>
#include <limits>

#include "db/database_error.h"
#include "db/field_types.h"
#include "db/field_value.h"
#include "util/date_format.h"
#include "util/number_format.h"
#include "util/text.h"

namespace tessaro {
namespace {

[[noreturn]] void NotConvertible(std::string_view text, const char* what) {
  throw EConvertError("'" + std::string(text) + "' is not a valid " + what);
}

TVariant IntegerValue(std::string_view text) {
  int64_t value;
  if (!TryStrToInt(text, value) || value < std::numeric_limits<int32_t>::min() ||
      value > std::numeric_limits<int32_t>::max())
    NotConvertible(text, "integer value");
  return TVariant::Integer(value);
}

TVariant BooleanValue(std::string_view text) {
  constexpr std::string_view kTrueStarts = "123456789ATY";
  return TVariant::Boolean(kTrueStarts.find(AsciiUpper(text.front())) != std::string_view::npos);
}

TVariant FloatValue(std::string_view text) {
  double value;
  if (TryStrToFloat(Trim(text), value, PointFormatSettings()) || TryStrToFloat(text, value))
    return TVariant::Float(value);
  NotConvertible(text, "floating point value");
}

TVariant DateValue(std::string_view text) {
  TDateTime value;
  if (!TryStrToDateTime(text, value)) NotConvertible(text, "date and time");
  return TVariant::Date(value);
}

TVariant TextValue(std::string_view text) { return TVariant::String(std::string(text)); }

// How request text becomes a value of each type; every other type takes the
// text itself.
struct TTextConversion {
  TFieldType type;
  TVariant (*convert)(std::string_view text);
};

constexpr TTextConversion kTextConversions[] = {
    {TFieldType::ftSmallint, IntegerValue}, {TFieldType::ftInteger, IntegerValue},
    {TFieldType::ftWord, IntegerValue},     {TFieldType::ftAutoInc, IntegerValue},
    {TFieldType::ftBoolean, BooleanValue},  {TFieldType::ftFloat, FloatValue},
    {TFieldType::ftCurrency, FloatValue},   {TFieldType::ftBCD, FloatValue},
    {TFieldType::ftDate, DateValue},        {TFieldType::ftDateTime, DateValue},
};

TVariant ValueOfText(TFieldType type, std::string_view text) {
  for (const auto& conversion : kTextConversions)
    if (conversion.type == type) return conversion.convert(text);
  return TextValue(text);
}

}  // namespace

std::string ParamNameBase(std::string_view name) { return std::string(name.substr(0, name.find('.'))); }

TFieldType ParamTypeSuffix(std::string_view name) {
  const size_t dot = name.find('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return TFieldType::ftUnknown;
  return FieldTypeByName("ft" + std::string(name.substr(dot + 1)));
}

void BindDefaultParam(TParameter& parameter, const TParamTypeLookup& definitions) {
  const TFieldType suffix = ParamTypeSuffix(parameter.Name);
  if (suffix != TFieldType::ftUnknown) {
    parameter.DataType = suffix;
  } else if (definitions) {
    if (const std::optional<TFieldType> defined = definitions(parameter.Name)) parameter.DataType = *defined;
  }
  if (parameter.Direction != pdOutput) parameter.Value = TVariant();
}

void BindParamValue(TParameter& parameter, std::string_view text, const TParamTypeLookup& definitions) {
  const TFieldType type = parameter.DataType;
  if (text.empty()) {
    if (type == TFieldType::ftBoolean) {
      parameter.Value = TVariant::Boolean(false);
    } else {
      BindDefaultParam(parameter, definitions);
    }
    return;
  }
  parameter.Value = ValueOfText(type, text);
}

void CopyParamDef(TParameter& entry, const TParameter& parameter) {
  entry.Name = parameter.Name;
  entry.DataType = parameter.DataType;
  entry.Size = parameter.Size;
  entry.Precision = parameter.Precision < 0 ? 0 : parameter.Precision > 255 ? 255 : parameter.Precision;
}

void BindParams(TParameters* target, const TParamTypeLookup& definitions) {
  if (!target) return;
  for (TParameter& parameter : *target) BindDefaultParam(parameter, definitions);
}

}  // namespace tessaro
