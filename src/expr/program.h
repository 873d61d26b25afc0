// The compiled form of an expression and the machine that runs it.
//
// A program is a list of factors in postfix order: a constant pushes its
// value, an operation pops its operands (the last one on top) and pushes its
// result. A factor may carry a short-circuit test: before it runs, the value
// at a given stack place is compared with a boolean, and when they are equal
// the factor and the ones after it up to the deciding operation are skipped,
// leaving one empty value in place of the operand they would have computed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "expr/operation_def.h"
#include "expr/value.h"

namespace tessaro {

class TExpression;

// The value stack of an evaluation. Slots are reused from one evaluation to
// the next, so pushing a short text usually allocates nothing.
class TStack {
 public:
  void Reserve(size_t depth);
  void Clear() { size_ = 0; }
  size_t Size() const { return size_; }
  void Push(const TValue& value);
  void Push(TValue&& value);
  // The value `offset` places below the top. Throws Exception when the stack
  // is not that deep.
  const TValue& At(size_t offset) const;
  // Removes the top `count` values and returns them, the deepest first. They
  // stay valid until the next Push. Throws Exception when the stack holds
  // fewer.
  std::span<const TValue> Pop(size_t count);
  // The value left by a complete run (Null when the stack is empty).
  TValue Result() const;

 private:
  std::vector<TValue> slots_;  // slot storage, never shrunk
  size_t size_ = 0;            // slots in use
};

struct TFactor {
  virtual ~TFactor() = default;
  // Pushes the factor's value. `evaluation` numbers the current evaluation,
  // for cached operations.
  virtual void Run(TStack& stack, TExpression& expression, uint64_t evaluation) = 0;

  int32_t SkipDistance = 0;  // factors skipped when the test holds; 0 = no test
  uint8_t StackOffset = 0;   // stack place the test reads: 0 the top, 1 the one below
  bool SkipWhen = false;     // the boolean that makes the test hold
};

struct TConstant : TFactor {
  explicit TConstant(TValue value) : Value(std::move(value)) {}
  void Run(TStack& stack, TExpression& expression, uint64_t evaluation) override;

  TValue Value;  // the value pushed
};

struct TOperation : TFactor {
  explicit TOperation(const TOperationDef* def) : Def(def) {}
  // Pops the operands; a Null operand gives Null unless the entry accepts
  // Nulls; a cached entry already computed in this evaluation gives that
  // value; otherwise the entry's function computes the result.
  void Run(TStack& stack, TExpression& expression, uint64_t evaluation) override;

  const TOperationDef* Def;          // the entry, owned by its operation list
  int32_t SecondOperandStart = 0;    // index of the first factor of the second operand
  int32_t LastOperandStart = 0;      // index of the first factor of the last operand
  TOperation* CacheOwner = nullptr;  // cached entries: the first occurrence of Def, whose slot serves all
  TValue CachedValue;                // the owner's slot: the value computed in evaluation CachedIn
  uint64_t CachedIn = 0;
};

class TProgram {
 public:
  bool Empty() const { return factors_.empty(); }
  size_t Size() const { return factors_.size(); }
  void Clear();
  void AddConstant(TValue value);
  // Appends an operation whose operands start at the given factor indexes.
  void AddOperation(const TOperationDef* def, int32_t secondOperandStart, int32_t lastOperandStart);
  // Completes the program once every factor is in place: sets the
  // short-circuit tests of OR, AND and IF, points every cached operation at
  // the first occurrence of its entry, and measures the stack depth needed.
  void Link();
  // Runs the factors; the result is what remains on the stack. Failures of
  // operations are raised.
  void Run(TStack& stack, TExpression& expression, uint64_t evaluation);
  size_t StackDepth() const { return stack_depth_; }
  // The constant when the program is a single constant, else null.
  const TConstant* SingleConstant() const;
  const TFactor& Factor(size_t index) const { return *factors_[index]; }

 private:
  void LinkShortCircuit(int32_t index, const TOperation& op);
  void SetSkip(int32_t from, int32_t to, bool when, uint8_t offset);

  std::vector<std::unique_ptr<TFactor>> factors_;  // the postfix program
  size_t stack_depth_ = 0;                         // the deepest the stack gets
};

}  // namespace tessaro
