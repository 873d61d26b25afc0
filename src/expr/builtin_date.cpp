// Date operations of the expression language. Dates are day counts from
// 30 December 1899; names of months and days come from the regional settings.
#include "expr/builtin_functions.h"
#include "util/datetime.h"
#include "util/regional_settings.h"

namespace tessaro::builtins {
namespace {

using TOperands = std::span<const TValue>;

// An operand rounded to an int for a calendar part; values beyond the int
// range become a number no calendar accepts.
int CalendarPart(const TValue& v) {
  const int64_t n = RoundToInt(v.AsNumber());
  return n < -1000000 || n > 1000000 ? -1 : static_cast<int>(n);
}

}  // namespace

// The clock is read on every evaluation.
TValue Today(const TOperationDef&, TExpression&, TOperands) { return TValue::Date(tessaro::Date()); }

TValue YearOf(const TOperationDef&, TExpression&, TOperands v) {
  int year, month, day;
  DecodeDate(v[0].AsDate(), year, month, day);
  return TValue::Number(year);
}

TValue MonthOf(const TOperationDef&, TExpression&, TOperands v) {
  int year, month, day;
  DecodeDate(v[0].AsDate(), year, month, day);
  return TValue::Number(month);
}

TValue DayOf(const TOperationDef&, TExpression&, TOperands v) {
  int year, month, day;
  DecodeDate(v[0].AsDate(), year, month, day);
  return TValue::Number(day);
}

// 1 for Sunday to 7 for Saturday, as an integer.
TValue DayOfWeekOf(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Integer(DayOfWeek(v[0].AsDate()));
}

// DATE(day, month, year); an impossible date fails with the encoder's message.
TValue MakeDate(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Date(EncodeDate(CalendarPart(v[2]), CalendarPart(v[1]), CalendarPart(v[0])));
}

// Null outside 1..12.
TValue MonthText(const TOperationDef&, TExpression&, TOperands v) {
  const int64_t n = RoundToInt(v[0].AsNumber());
  if (n < 1 || n > 12) return TValue::Null();
  return TValue::String(RegionalSettings().LongMonthNames[n - 1]);
}

// 1 = Sunday; Null outside 1..7.
TValue DayText(const TOperationDef&, TExpression&, TOperands v) {
  const int64_t n = RoundToInt(v[0].AsNumber());
  if (n < 1 || n > 7) return TValue::Null();
  return TValue::String(RegionalSettings().LongDayNames[n - 1]);
}

TValue ToDate(const TOperationDef&, TExpression&, TOperands v) { return TValue::Date(Checked(v[0].AsNumber())); }

}  // namespace tessaro::builtins
