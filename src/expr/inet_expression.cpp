// Expressions over the built-in operations, and parameter default values
// computed by them.
#include "expr/inet_expression.h"

#include "expr/builtin_operations.h"
#include "util/date_format.h"
#include "util/text.h"

namespace tessaro {

TInetExpression::TInetExpression() : operations_(BuiltInOperations()) {}

std::string ParameterDefaultText(std::string_view name, const TStrings& requestValues,
                                 std::string_view defaultExpression) {
  std::string requested = requestValues.Values(name);
  if (!requested.empty()) return requested;
  const std::string text = Trim(defaultExpression);
  if (text.empty()) return std::string();
  TInetExpression expression;
  expression.Compile(text);
  TValue value;
  int error;
  expression.Evaluate(value, error);
  if (error != eeNone || value.IsNullOrEmpty()) return std::string();
  if (value.Kind() == TValueKind::vkDate) return DateToStr(value.AsDate());
  return StandardText(value);
}

}  // namespace tessaro
