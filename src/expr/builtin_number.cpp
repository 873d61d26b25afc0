// Arithmetic operations of the expression language, and the rounding and
// range helpers shared by the built-in functions.
//
// Every number result passes through Checked: a double that has become NaN
// or infinite is reported as the evaluation error it stands for, so no such
// value ever reaches a template name or a default value.
#include <cmath>

#include "expr/builtin_functions.h"
#include "expr/expression_errors.h"
#include "util/exception.h"
#include "util/float_math.h"

namespace tessaro::builtins {
namespace {

using TOperands = std::span<const TValue>;

TValue Num(double x) { return TValue::Number(Checked(x)); }

// `x` cut to the 15 significant digits a double holds reliably. Scaling a
// decimal such as 2.345 (stored as 2.34500000000000019...) by 100 leaves
// binary noise (234.50000000000003) that would decide a tie; without it the
// tie goes to the even neighbour, as it does for the number written.
double SignificantDigits(double x) {
  return RoundToSignificantDigits(x, 15);
}

double RoundScaled(double x) { return RoundHalfEven(SignificantDigits(x)); }

// 10^k for a whole k, correctly rounded: up to 10^22 powers of ten are exact
// doubles and one division rounds once; beyond that the decimal reader does
// the rounding. Results past the double range are infinity or zero.
double PowerOfTen(double k) {
  static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (std::isnan(k)) return k;
  if (k >= 0 && k <= 22) return kExact[static_cast<int>(k)];
  if (k < 0 && k >= -22) return 1.0 / kExact[static_cast<int>(-k)];
  // The largest double is below 1e309 and the smallest subnormal above
  // 1e-325, so everything outside that range needs no reading.
  if (k >= 309) return HUGE_VAL;
  if (k <= -325) return 0.0;
  double value = 0;
  if (!ParseCNumber("1e" + std::to_string(static_cast<int>(k)), value)) return k > 0 ? HUGE_VAL : 0.0;
  return value;
}

}  // namespace

namespace {
// Whether a whole number is even (halving a whole double is exact).
bool IsEvenWhole(double whole) { return std::floor(whole / 2) * 2 == whole; }
}  // namespace

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double below = std::floor(x);
  const double diff = x - below;
  if (diff < 0.5) return below;
  if (diff > 0.5) return below + 1;
  return IsEvenWhole(below) ? below : below + 1;
}

int64_t RoundToInt(double x) {
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  const double r = RoundHalfEven(x);
  if (std::isnan(r)) return 0;
  if (r >= kLimit) return static_cast<int64_t>(kLimit);
  if (r <= -kLimit) return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(r);
}

double Checked(double x) {
  if (std::isnan(x)) RaiseEvaluationError(eeInvalidOperand);
  if (std::isinf(x)) RaiseEvaluationError(eeOverflow);
  return x;
}

size_t TextWidth(double width) {
  const int64_t w = RoundToInt(width);
  if (w > kMaxTextWidth) throw Exception("Text width " + std::to_string(w) + " out of range");
  return w > 0 ? static_cast<size_t>(w) : 0;
}

TValue AddNumbers(const TOperationDef&, TExpression&, TOperands v) { return Num(v[0].AsNumber() + v[1].AsNumber()); }

// A date plus a number of days, in either order.
TValue AddDays(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Date(Checked(v[0].AsNumber() + v[1].AsNumber()));
}

TValue Concatenate(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::String(v[0].AsText() + v[1].AsText());
}

TValue Negate(const TOperationDef&, TExpression&, TOperands v) { return Num(-v[0].AsNumber()); }

TValue SubtractNumbers(const TOperationDef&, TExpression&, TOperands v) {
  return Num(v[0].AsNumber() - v[1].AsNumber());
}

TValue SubtractDays(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Date(Checked(v[0].AsDate() - v[1].AsNumber()));
}

TValue DaysBetween(const TOperationDef&, TExpression&, TOperands v) { return Num(v[0].AsDate() - v[1].AsDate()); }

TValue Multiply(const TOperationDef&, TExpression&, TOperands v) { return Num(v[0].AsNumber() * v[1].AsNumber()); }

// A divisor this close to zero gives 0 instead of a huge or failing quotient.
TValue Divide(const TOperationDef&, TExpression&, TOperands v) {
  const double b = v[1].AsNumber();
  if (std::fabs(b) <= 0.00001) return TValue::Number(0);
  return Num(v[0].AsNumber() / b);
}

TValue Minimum(const TOperationDef&, TExpression&, TOperands v) {
  const double a = v[0].AsNumber(), b = v[1].AsNumber();
  return Num(a < b ? a : b);
}

TValue Maximum(const TOperationDef&, TExpression&, TOperands v) {
  const double a = v[0].AsNumber(), b = v[1].AsNumber();
  return Num(a > b ? a : b);
}

TValue Modulo(const TOperationDef&, TExpression&, TOperands v) {
  const double a = v[0].AsNumber(), b = v[1].AsNumber();
  if (b == 0) RaiseEvaluationError(eeZeroDivide);
  return Num(a - b * std::trunc(Checked(a / b)));
}

TValue IntegerDivide(const TOperationDef&, TExpression&, TOperands v) {
  const double a = v[0].AsNumber(), b = v[1].AsNumber();
  if (b == 0) RaiseEvaluationError(eeZeroDivide);
  return Num(std::trunc(a / b));
}

// ROUND(x, d) and ROUND(x, d, m): x rounded to d decimals (d < 0 rounds to
// tens, hundreds ...), halves to the even neighbour. A third operand biases
// the rounding by just under half a unit, up for m > 0 and down for m < 0, so
// that any remainder of at least 0.0001 of the last unit rounds up (or down).
TValue RoundTo(const TOperationDef&, TExpression&, TOperands v) {
  const double x = v[0].AsNumber();
  const double d = RoundHalfEven(v[1].AsNumber());
  double bias = 0;
  if (v.size() > 2) {
    const double m = v[2].AsNumber();
    if (std::fabs(m) >= 0.0001) bias = m > 0 ? 0.4999 : -0.4999;
  }
  const double unit = PowerOfTen(-d);
  if (d == 0) return Num(RoundScaled(x + bias));
  // Units beyond the double range: more decimals than a double holds leave
  // x as it is; a unit above the largest double rounds every number to 0.
  if (unit == 0) return Num(x);
  if (std::isinf(unit)) return Num(std::isfinite(x) ? 0.0 : x);
  if (d >= 1) {
    const double whole = std::trunc(x);
    return Num(whole + RoundScaled((x - whole) / unit + bias) * unit);
  }
  return Num(RoundScaled(x / unit + bias) * unit);
}

TValue Truncate(const TOperationDef&, TExpression&, TOperands v) { return Num(std::trunc(v[0].AsNumber())); }

TValue Square(const TOperationDef&, TExpression&, TOperands v) {
  const double x = v[0].AsNumber();
  return Num(x * x);
}

TValue SquareRoot(const TOperationDef&, TExpression&, TOperands v) {
  const double x = v[0].AsNumber();
  if (x < 0) RaiseEvaluationError(eeInvalidOperand);
  return Num(std::sqrt(x));
}

TValue Absolute(const TOperationDef&, TExpression&, TOperands v) { return Num(std::fabs(v[0].AsNumber())); }

TValue IsOdd(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Boolean(!IsEvenWhole(RoundHalfEven(Checked(v[0].AsNumber()))));
}

TValue IsEven(const TOperationDef&, TExpression&, TOperands v) {
  return TValue::Boolean(IsEvenWhole(RoundHalfEven(Checked(v[0].AsNumber()))));
}

}  // namespace tessaro::builtins
