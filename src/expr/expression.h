// TExpression: an expression compiled once and evaluated as often as needed.
//
// An expression is compiled against an operation list (the built-in
// operations, possibly preceded by the fields of a data set) and keeps its
// postfix program, the result type, and after each evaluation the result and
// the evaluation error. Derived classes bind a context that their own
// operations read while an evaluation runs (tDatasetExpression: a data set).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "expr/expression_errors.h"
#include "expr/operation_def.h"
#include "expr/value.h"

namespace tessaro {

class TExpressionEngine;

class TExpression {
 public:
  TExpression();
  virtual ~TExpression();
  TExpression(const TExpression&) = delete;
  TExpression& operator=(const TExpression&) = delete;

  // Compiles `text` against the list whose first entry is `operations` (null:
  // no operations). Throws ExpressionError (codes 1 to 8) on a compile error,
  // after which the expression is empty: ResultType() is vtNone and it
  // evaluates to Null. The list must outlive the compiled expression.
  void Compile(std::string_view text, const TOperationDef* operations);

  // The source text of the last compile.
  const std::string& Text() const;
  // The sub-expression that caused the last compile error; empty after a
  // successful compile.
  const std::string& ErrorText() const;
  // vtNone (empty expression) to vtBoolean, known after a successful compile.
  TValueType ResultType() const;
  // Whether the whole expression is a literal, computed when compiled.
  bool IsConstant() const;

  // Evaluates on the current state of the context. `errorCode` is 0 on
  // success; on failure it is an evaluation error code (100 to 106) and
  // `value` is Null. Failures of operations are never raised.
  void Evaluate(TValue& value, int& errorCode);
  // Evaluates and raises ExpressionError (with the evaluation error code and
  // message) when the evaluation fails.
  void EvaluateChecked(TValue& value);

  // The result, error code and error message of the last evaluation.
  const TValue& Value() const;
  int ErrorCode() const;
  const std::string& ErrorMessage() const;

  // The last result as text: "Error" after a failed evaluation; "" for Null
  // and empty; numbers, dates and strings in their standard text (see
  // StandardText); booleans "TRUE" or "FALSE".
  std::string AsString() const;

 private:
  std::unique_ptr<TExpressionEngine> engine_;  // program and evaluation state
};

}  // namespace tessaro
