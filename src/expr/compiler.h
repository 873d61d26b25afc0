// The expression compiler: expression text to a postfix program.
#pragma once

#include <string>
#include <string_view>

#include "expr/operation_def.h"
#include "expr/program.h"

namespace tessaro {

// Sub-expressions nested deeper than this fail with "Expression is too
// complicated" (code 8): every operand of an operator or function is one
// level deeper than the text it was taken from.
constexpr int kMaxExpressionNesting = 200;

// Compiles `text` against the operation list whose first entry is
// `operations` (may be null: no operations) into `program`, and returns the
// result type: vtNone for an empty text. On failure throws ExpressionError
// (codes 1 to 8), `errorText` holds the offending sub-expression and
// `program` is left empty. Operation entries are referenced, not copied: the
// list must outlive the program.
TValueType CompileExpression(std::string_view text, const TOperationDef* operations, TProgram& program,
                             std::string& errorText);

}  // namespace tessaro
