// TInetExpression: an expression over the built-in operations only, as the
// metadata uses for parameter default values.
#pragma once

#include <string>
#include <string_view>

#include "expr/expression.h"
#include "util/string_list.h"

namespace tessaro {

class TInetExpression : public TExpression {
 public:
  // Binds the global built-in list (built on first use).
  TInetExpression();
  using TExpression::Compile;
  // Compiles against the built-in operations; throws ExpressionError.
  void Compile(std::string_view text) { TExpression::Compile(text, operations_); }
  const TOperationDef* Operations() const { return operations_; }

 private:
  const TOperationDef* operations_;  // first entry of the built-in list
};

// The default value of a request parameter: a non-empty value of `name` in
// `requestValues` if there is one; else the value of `defaultExpression`
// (trimmed; empty gives empty) compiled with a TInetExpression. Evaluation
// errors, Null and empty values give ""; a date gives its short date text;
// other values their standard text (StandardText). A compile error is
// raised as ExpressionError. This is what a parameter type's default value
// text is made of.
std::string ParameterDefaultText(std::string_view name, const TStrings& requestValues,
                                 std::string_view defaultExpression);

}  // namespace tessaro
