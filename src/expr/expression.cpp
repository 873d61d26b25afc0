// The expression engine behind TExpression: compiled program, value stack and
// the state of the last compile and evaluation.
//
// Evaluation never lets an operation's failure escape: the failures with a
// code of their own (EEvaluationError) keep it, every other Exception becomes
// code 100 with its message (so does a standard-library exception), and in
// both cases the stack is dropped and the
// result is Null. A program that is one constant is evaluated when compiled
// and its value is returned from then on.
#include "expr/expression.h"

#include <exception>
#include <new>

#include "expr/compiler.h"
#include "expr/program.h"

namespace tessaro {

class TExpressionEngine {
 public:
  void Compile(std::string_view text, const TOperationDef* operations) {
    text_.assign(text);
    result_type_ = vtNone;
    constant_ = false;
    ClearEvaluation();
    value_ = TValue();
    result_type_ = CompileExpression(text, operations, program_, error_text_);
    if (const TConstant* c = program_.SingleConstant()) {
      constant_ = true;
      constant_value_ = c->Value;
    }
  }

  void Evaluate(TExpression& expression) {
    ClearEvaluation();
    if (constant_) {
      value_ = constant_value_;
      return;
    }
    try {
      program_.Run(stack_, expression, ++evaluation_);
      value_ = stack_.Result();
    } catch (const EEvaluationError& e) {
      Fail(e.Code(), e.Message());
    } catch (const Exception& e) {
      Fail(eeOther, e.Message());
    } catch (const std::bad_alloc&) {
      Fail(eeOther, "Out of memory");
    } catch (const std::exception& e) {
      // A field or an operation may fail inside the standard library (a
      // length or range error); the caller still gets a result and a code.
      Fail(eeOther, e.what());
    }
  }

  std::string AsString() const {
    if (error_code_ != eeNone) return "Error";
    if (value_.Kind() == TValueKind::vkBoolean) return value_.AsBoolean() ? "TRUE" : "FALSE";
    return StandardText(value_);
  }

  std::string text_;                 // source text of the last compile
  std::string error_text_;           // sub-expression of the last compile error
  TValueType result_type_ = vtNone;  // result type of the last compile
  bool constant_ = false;            // the program is one constant, evaluated at compile time
  TValue constant_value_;            // its value
  TProgram program_;                 // the compiled factors
  TStack stack_;                     // evaluation stack, kept for its slots
  uint64_t evaluation_ = 0;          // number of the current evaluation, for cached operations
  TValue value_;                     // result of the last evaluation
  int error_code_ = eeNone;          // error code of the last evaluation
  std::string error_message_;        // and its message

 private:
  void ClearEvaluation() {
    error_code_ = eeNone;
    error_message_.clear();
  }
  void Fail(int code, const std::string& message) {
    stack_.Clear();
    value_ = TValue::Null();
    error_code_ = code;
    error_message_ = message;
  }
};

TExpression::TExpression() : engine_(std::make_unique<TExpressionEngine>()) {}
TExpression::~TExpression() = default;

void TExpression::Compile(std::string_view text, const TOperationDef* operations) {
  engine_->Compile(text, operations);
}

const std::string& TExpression::Text() const { return engine_->text_; }
const std::string& TExpression::ErrorText() const { return engine_->error_text_; }
TValueType TExpression::ResultType() const { return engine_->result_type_; }
bool TExpression::IsConstant() const { return engine_->constant_; }

void TExpression::Evaluate(TValue& value, int& errorCode) {
  engine_->Evaluate(*this);
  value = engine_->value_;
  errorCode = engine_->error_code_;
}

void TExpression::EvaluateChecked(TValue& value) {
  int code;
  Evaluate(value, code);
  if (code != eeNone) throw ExpressionError(code, engine_->error_message_);
}

const TValue& TExpression::Value() const { return engine_->value_; }
int TExpression::ErrorCode() const { return engine_->error_code_; }
const std::string& TExpression::ErrorMessage() const { return engine_->error_message_; }
std::string TExpression::AsString() const { return engine_->AsString(); }

}  // namespace tessaro
