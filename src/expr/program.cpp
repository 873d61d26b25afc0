// Running a compiled expression.
//
// The factors run in order on one value stack. Short-circuit operations are
// prepared by Link: for "A OR B" the first factor of B tests whether the top
// of the stack (the value of A) is true and, if so, jumps to the OR itself,
// leaving an empty value where B's value would be. AND does the same on
// false. IF(C, A, B) has two tests: the first factor of A jumps to B when C
// is false, and the first factor of B jumps to the IF when C (now one place
// below A's value) is true. The operation at the end of the jump then finds
// its usual number of operands and ignores the empty one.
//
// Cached operations (data-set fields) share one slot per entry: every
// occurrence of the entry points at the first one, which keeps the value and
// the number of the evaluation that computed it.
#include "expr/program.h"

#include <algorithm>
#include <unordered_map>

#include "util/exception.h"

namespace tessaro {

// ---- TStack ----

void TStack::Reserve(size_t depth) {
  if (slots_.size() < depth) slots_.resize(depth);
}

void TStack::Push(const TValue& value) {
  if (size_ == slots_.size()) slots_.emplace_back();
  slots_[size_++] = value;
}

void TStack::Push(TValue&& value) {
  if (size_ == slots_.size()) slots_.emplace_back();
  slots_[size_++] = std::move(value);
}

const TValue& TStack::At(size_t offset) const {
  if (offset >= size_) throw Exception("expression stack underflow");
  return slots_[size_ - 1 - offset];
}

std::span<const TValue> TStack::Pop(size_t count) {
  if (count > size_) throw Exception("expression stack underflow");
  size_ -= count;
  return std::span<const TValue>(slots_.data() + size_, count);
}

TValue TStack::Result() const { return size_ == 0 ? TValue::Null() : slots_[size_ - 1]; }

// ---- factors ----

void TConstant::Run(TStack& stack, TExpression&, uint64_t) { stack.Push(Value); }

void TOperation::Run(TStack& stack, TExpression& expression, uint64_t evaluation) {
  std::span<const TValue> operands = stack.Pop(Def->Arity);
  if (!Def->AcceptsNull() &&
      std::any_of(operands.begin(), operands.end(), [](const TValue& v) { return v.IsNull(); })) {
    stack.Push(TValue::Null());
    return;
  }
  if (CacheOwner != nullptr && CacheOwner->CachedIn == evaluation) {
    stack.Push(CacheOwner->CachedValue);
    return;
  }
  if (Def->Function == nullptr) throw Exception("Operation " + Def->Name + " has no function");
  TValue result = Def->Function(*Def, expression, operands);
  if (CacheOwner != nullptr) {
    CacheOwner->CachedValue = result;
    CacheOwner->CachedIn = evaluation;
  }
  stack.Push(std::move(result));
}

// ---- TProgram ----

void TProgram::Clear() {
  factors_.clear();
  stack_depth_ = 0;
}

void TProgram::AddConstant(TValue value) { factors_.push_back(std::make_unique<TConstant>(std::move(value))); }

void TProgram::AddOperation(const TOperationDef* def, int32_t secondOperandStart, int32_t lastOperandStart) {
  auto op = std::make_unique<TOperation>(def);
  op->SecondOperandStart = secondOperandStart;
  op->LastOperandStart = lastOperandStart;
  factors_.push_back(std::move(op));
}

void TProgram::SetSkip(int32_t from, int32_t to, bool when, uint8_t offset) {
  TFactor& f = *factors_[from];
  f.SkipDistance = to - from;
  f.SkipWhen = when;
  f.StackOffset = offset;
}

// An operand that is skipped must not be the first one, or the test would
// read a value of some enclosing operation; the arity checks keep entries
// with an unusual signature out of short-circuiting altogether.
void TProgram::LinkShortCircuit(int32_t index, const TOperation& op) {
  switch (op.Def->ShortCircuit()) {
    case scOr:
      if (op.Def->Arity >= 2) SetSkip(op.LastOperandStart, index, true, 0);
      break;
    case scAnd:
      if (op.Def->Arity >= 2) SetSkip(op.LastOperandStart, index, false, 0);
      break;
    case scIf:
      if (op.Def->Arity >= 3) {
        SetSkip(op.SecondOperandStart, op.LastOperandStart, false, 0);
        SetSkip(op.LastOperandStart, index, true, 1);
      }
      break;
    default:
      break;
  }
}

void TProgram::Link() {
  std::unordered_map<const TOperationDef*, TOperation*> first_occurrence;
  size_t depth = 0;
  stack_depth_ = 0;
  for (size_t i = 0; i < factors_.size(); ++i) {
    auto* op = dynamic_cast<TOperation*>(factors_[i].get());
    if (op == nullptr) {
      ++depth;
    } else {
      LinkShortCircuit(static_cast<int32_t>(i), *op);
      if (op->Def->Cached()) op->CacheOwner = first_occurrence.try_emplace(op->Def, op).first->second;
      depth = depth - std::min<size_t>(depth, op->Def->Arity) + 1;
    }
    stack_depth_ = std::max(stack_depth_, depth);
  }
}

void TProgram::Run(TStack& stack, TExpression& expression, uint64_t evaluation) {
  stack.Clear();
  stack.Reserve(stack_depth_);
  const size_t count = factors_.size();
  for (size_t i = 0; i < count;) {
    TFactor& f = *factors_[i];
    if (f.SkipDistance != 0 && stack.At(f.StackOffset).Is(f.SkipWhen)) {
      stack.Push(TValue());
      i += f.SkipDistance;
      continue;
    }
    f.Run(stack, expression, evaluation);
    ++i;
  }
}

const TConstant* TProgram::SingleConstant() const {
  return factors_.size() == 1 ? dynamic_cast<const TConstant*>(factors_[0].get()) : nullptr;
}

}  // namespace tessaro
