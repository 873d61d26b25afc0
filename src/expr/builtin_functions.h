// The functions behind the built-in operations, for the registration table
// in builtin_operations.cpp. Each follows TOperationFunction: it receives its
// table entry, the expression being evaluated and its operands, whose types
// the compiler has already matched with the entry's signature.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "expr/operation_def.h"

namespace tessaro::builtins {

using TFunction = TValue(const TOperationDef& def, TExpression& expression, std::span<const TValue> operands);

// Arithmetic (builtin_number.cpp).
TFunction AddNumbers, AddDays, Concatenate, Negate, SubtractNumbers, SubtractDays, DaysBetween, Multiply, Divide,
    Minimum, Maximum, Modulo, IntegerDivide, RoundTo, Truncate, Square, SquareRoot, Absolute, IsOdd, IsEven;

// Comparison, logic, IF and ISNULL (builtin_logic.cpp).
TFunction Equal, Less, Greater, NotGreater, NotLess, Different, Not, And, Or, IfThenElse, IsNullTest, NullReplacement;

// Text (builtin_text.cpp).
TFunction NumberText, NumberColumn, Character, StandardTextOf, FormatNumber, FormatDate, FormatBoolean, Upper, Length,
    Position, Copy, Justify, TrimBoth, TrimStart, TrimEnd, PadRight, PadLeft;

// Dates (builtin_date.cpp).
TFunction Today, YearOf, MonthOf, DayOf, DayOfWeekOf, MakeDate, MonthText, DayText, ToDate;

// Shared helpers.

// Round: to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double x);
// RoundHalfEven(x) as an integer, NaN as 0 and values beyond +-2^62 held
// there, so that callers can compare and add without overflow.
int64_t RoundToInt(double x);
// A computed number, or the evaluation error for a result that does not
// exist (NaN: "Invalid operand") or exceeds the double range (infinite:
// "Too large/small number").
double Checked(double x);

// Padded and justified texts are at most this long; a wider request is an
// evaluation failure rather than an unbounded allocation.
constexpr int64_t kMaxTextWidth = 65536;
// Round(width) for padding: 0 when not positive; throws Exception beyond
// kMaxTextWidth.
size_t TextWidth(double width);

}  // namespace tessaro::builtins
