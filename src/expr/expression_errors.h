// The failures of the expression engine.
//
// Compiling raises ExpressionError with one of eight codes; its message is the
// code's text, a carriage return and the offending sub-expression in single
// quotes. Evaluating never raises for the failures of an operation: they
// become an evaluation error code (100 and up) and a message, which
// TExpression::EvaluateChecked raises as an ExpressionError.
#pragma once

#include <string>
#include <string_view>

#include "util/exception.h"

namespace tessaro {

enum TCompileErrorCode {
  ceMissingOperand = 1,
  ceUnknownOperation = 2,
  ceOperandCount = 3,
  ceTypeMismatch = 4,
  ceOpenParenthesisExpected = 5,
  ceCloseParenthesisExpected = 6,
  ceUnterminatedString = 7,
  ceTooComplicated = 8,
};

enum TEvaluationErrorCode {
  eeNone = 0,
  eeOther = 100,           // the message of the underlying failure is kept
  eeInvalidType = 102,     // an operand of the wrong kind
  eeOverflow = 103,        // a result beyond the range of a double
  eeZeroDivide = 104,      // MOD or DIV by zero
  eeInvalidOperand = 105,  // no result exists (square root of a negative number ...)
  eeUnknownResultType = 106,
};

// A compile failure, or an evaluation failure raised by EvaluateChecked.
class ExpressionError : public Exception {
 public:
  ExpressionError(int code, const std::string& message) : Exception(message), code_(code) {}
  // A TCompileErrorCode or a TEvaluationErrorCode.
  int Code() const { return code_; }
  const char* ClassName() const noexcept override { return "ExpressionError"; }

 private:
  int code_;  // what failed
};

// Raised by operations for the failures that have their own evaluation error
// code; the evaluator turns it into that code. Any other Exception an
// operation raises becomes code 100 with its message.
class EEvaluationError : public Exception {
 public:
  explicit EEvaluationError(TEvaluationErrorCode code);
  TEvaluationErrorCode Code() const { return code_; }
  const char* ClassName() const noexcept override { return "EEvaluationError"; }

 private:
  TEvaluationErrorCode code_;  // 102 to 106
};

[[noreturn]] void RaiseEvaluationError(TEvaluationErrorCode code);

// The text of a compile error code followed by CR and the sub-expression in
// single quotes, inner single quotes doubled: "Unknown operation:\r'FOO'".
// A sub-expression longer than kMaxQuotedSubExpression is cut to that many
// characters and "..." follows the closing quote.
std::string CompileErrorMessage(int code, std::string_view subExpression);
inline constexpr std::size_t kMaxQuotedSubExpression = 300;

// The fixed message of an evaluation error code (102 to 106); empty for 0,
// 100 and unknown codes, whose message comes from the failure itself.
std::string EvaluationErrorMessage(int code);

}  // namespace tessaro
