// Comparison and logical operations, IF and ISNULL.
//
// Two operands of a comparison always have the same type (the compiler picks
// the entry by type). Strings order by the Czech collation and are equal only
// when identical; numbers and dates compare by value, booleans with false
// below true.
#include "expr/builtin_functions.h"
#include "util/collation.h"

namespace tessaro::builtins {
namespace {

using TOperands = std::span<const TValue>;

int Order(const TValue& a, const TValue& b) {
  if (a.Kind() == TValueKind::vkString) return AnsiCompareStr(a.AsText(), b.AsText());
  if (a.Kind() == TValueKind::vkBoolean) return static_cast<int>(a.AsBoolean()) - static_cast<int>(b.AsBoolean());
  const double x = a.AsNumber(), y = b.AsNumber();
  return x < y ? -1 : (x > y ? 1 : 0);
}

bool Same(const TValue& a, const TValue& b) {
  if (a.Kind() == TValueKind::vkString) return a.AsText() == b.AsText();
  if (a.Kind() == TValueKind::vkBoolean) return a.AsBoolean() == b.AsBoolean();
  return a.AsNumber() == b.AsNumber();
}

}  // namespace

TValue Equal(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(Same(v[0], v[1])); }
TValue Different(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(!Same(v[0], v[1])); }
TValue Less(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(Order(v[0], v[1]) < 0); }
TValue Greater(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(Order(v[0], v[1]) > 0); }
TValue NotGreater(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(Order(v[0], v[1]) <= 0); }
TValue NotLess(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(Order(v[0], v[1]) >= 0); }

TValue Not(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(!v[0].AsBoolean()); }

// AND and OR return an operand as it is: the right one is empty when the
// short-circuit skipped it, and then the left one decides.
TValue And(const TOperationDef&, TExpression&, TOperands v) { return v[0].AsBoolean() ? v[1] : v[0]; }
TValue Or(const TOperationDef&, TExpression&, TOperands v) { return v[0].AsBoolean() ? v[0] : v[1]; }

TValue IfThenElse(const TOperationDef&, TExpression&, TOperands v) { return v[0].AsBoolean() ? v[1] : v[2]; }

TValue IsNullTest(const TOperationDef&, TExpression&, TOperands v) { return TValue::Boolean(v[0].IsNullOrEmpty()); }

TValue NullReplacement(const TOperationDef&, TExpression&, TOperands v) { return v[0].IsNullOrEmpty() ? v[1] : v[0]; }

}  // namespace tessaro::builtins
