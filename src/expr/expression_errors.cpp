// Message texts of the expression engine's failures, kept as tables indexed by
// their codes.
#include "expr/expression_errors.h"

namespace tessaro {
namespace {

// Indexed by TCompileErrorCode.
constexpr const char* kCompileErrorTexts[] = {
    "",
    "Missing operand:",
    "Unknown operation:",
    "Incorrect number of operands:",
    "Type mismatch:",
    "\"(\" expected:",
    "\")\" expected:",
    "Unterminated string:",
    "Expression is too complicated:",
};

struct TEvaluationMessage {
  int code;
  const char* text;
};

constexpr TEvaluationMessage kEvaluationMessages[] = {
    {eeInvalidType, "Invalid operand type"},      {eeOverflow, "Too large/small number"},
    {eeZeroDivide, "Division by zero"},           {eeInvalidOperand, "Invalid operand"},
    {eeUnknownResultType, "Unknown result type"},
};

}  // namespace

EEvaluationError::EEvaluationError(TEvaluationErrorCode code) : Exception(EvaluationErrorMessage(code)), code_(code) {}

void RaiseEvaluationError(TEvaluationErrorCode code) { throw EEvaluationError(code); }

std::string CompileErrorMessage(int code, std::string_view subExpression) {
  std::string message = code >= 1 && code <= ceTooComplicated ? kCompileErrorTexts[code] : "";
  // The failing part can be most of a long expression; error pages show only
  // its start, with "..." after the closing quote saying that it was cut.
  const bool cut = subExpression.size() > kMaxQuotedSubExpression;
  if (cut) subExpression = subExpression.substr(0, kMaxQuotedSubExpression);
  message += "\r'";
  for (char c : subExpression) {
    if (c == '\'') message += '\'';
    message += c;
  }
  message += '\'';
  if (cut) message += "...";
  return message;
}

std::string EvaluationErrorMessage(int code) {
  for (const auto& m : kEvaluationMessages)
    if (m.code == code) return m.text;
  return std::string();
}

}  // namespace tessaro
