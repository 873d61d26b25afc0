// Shared helpers of the expression tests: run a text through compile and
// evaluation and describe the outcome as one string, so that a table row can
// hold the expected result, compile error or evaluation error.
#pragma once

#include <string>
#include <string_view>

#include "expr/builtin_operations.h"
#include "expr/expression.h"
#include "util/codepage.h"

namespace tessaro::exprtest {

// AsString() of the result; "compile: <message>" after a compile error;
// "error <code>: <message>" after an evaluation error.
inline std::string Outcome(TExpression& expression, std::string_view text, const TOperationDef* operations) {
  try {
    expression.Compile(text, operations);
  } catch (const ExpressionError& e) {
    return "compile: " + e.Message();
  }
  TValue value;
  int code;
  expression.Evaluate(value, code);
  if (code != 0) return "error " + std::to_string(code) + ": " + expression.ErrorMessage();
  return expression.AsString();
}

inline std::string Outcome(std::string_view text) {
  TExpression expression;
  return Outcome(expression, text, BuiltInOperations());
}

// A table row: an expression and what it gives. Texts are UTF-8 and converted
// to windows-1250 before use, so Czech letters read naturally.
struct TCase {
  const char* text;
  const char* expected;
};

inline std::string RunCase(const TCase& c) { return EncodeOutput(Outcome(Cp1250(c.text))); }

}  // namespace tessaro::exprtest
