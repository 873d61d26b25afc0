// The operation table of the expression language.
//
// Every operator and function an expression may use is a TOperationDef, and
// an operation list is a singly linked chain of them, reached through its
// first entry. The built-in operations form one global list; a caller that
// adds its own operations (the fields of a data set) links them in front of
// that list, so its chain shares the built-in tail without changing it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "expr/value.h"

namespace tessaro {

class TExpression;
struct TOperationDef;

// Computes an operation's result from its operands (the first operand first).
// Receives its own entry, so that one function may serve several names, and
// the expression being evaluated, whose context the operation may read.
// Failures are raised: EEvaluationError for the coded ones, any other
// Exception for the rest.
using TOperationFunction = TValue (*)(const TOperationDef& def, TExpression& expression,
                                      std::span<const TValue> operands);

// The value of TOperationDef::Size that marks a well-formed entry.
constexpr int32_t kOperationDefSize = 52;

// Syntax levels: where an operation's name stands and how tightly it binds.
enum TSyntaxLevel : uint16_t {
  slFunction = 0,        // name first, operands after it
  slPrefix = 1,          // prefix operator
  slMultiplicative = 2,  // infix: * / MOD DIV AND
  slAdditive = 3,        // infix: + - OR
  slRelational = 4,      // infix: = < > <= >= <>
};

enum TShortCircuit : uint16_t { scNone = 0, scOr = 1, scAnd = 2, scIf = 3 };

// Bits of TOperationDef::Flags.
constexpr uint16_t kLevelMask = 0x000F;         // bits 0-3: the syntax level
constexpr uint16_t kShortCircuitMask = 0x0070;  // bits 4-6: the short-circuit kind
constexpr int kShortCircuitShift = 4;
constexpr uint16_t kCachedFlag = 0x0080;       // computed once per evaluation
constexpr uint16_t kAcceptsNullFlag = 0x0100;  // Null operands reach the function

constexpr uint16_t ShortCircuitFlags(TShortCircuit kind) { return static_cast<uint16_t>(kind << kShortCircuitShift); }

struct TOperationDef {
  virtual ~TOperationDef() = default;

  int32_t Size = kOperationDefSize;  // must be kOperationDefSize, or Register refuses the entry
  std::string Name;                  // operator symbol or function name, upper case
  uint16_t Flags = 0;                // level, short-circuit kind, cached, accepts Null
  TOperationFunction Function = nullptr;
  std::string Group;     // group name shown by the design tool
  std::string HelpFile;  // design-tool help reference
  int32_t HelpTopic = 0;
  uint16_t Arity = 0;             // number of operands
  std::vector<uint8_t> Types;     // [0] the result type, [1..Arity] the operand types
  TOperationDef* Next = nullptr;  // the next entry of the list this one is linked into
  int32_t RefCount = 0;           // number of registrations
  uint32_t Hash = 0;              // OperationHash(Name), set on the first registration

  TSyntaxLevel Level() const { return static_cast<TSyntaxLevel>(Flags & kLevelMask); }
  TShortCircuit ShortCircuit() const {
    return static_cast<TShortCircuit>((Flags & kShortCircuitMask) >> kShortCircuitShift);
  }
  bool Cached() const { return (Flags & kCachedFlag) != 0; }
  bool AcceptsNull() const { return (Flags & kAcceptsNullFlag) != 0; }
  TValueType ResultType() const { return Types.empty() ? vtNone : static_cast<TValueType>(Types[0]); }
  // The type of operand `index` (1-based); vtNone when Types has no such element.
  TValueType OperandType(int index) const {
    return index >= 1 && index < static_cast<int>(Types.size()) ? static_cast<TValueType>(Types[index]) : vtNone;
  }
};

// The sum of the character codes of a name: compared before the names
// themselves when operations are looked up.
uint32_t OperationHash(std::string_view name);

// Registers `def` in the list whose first entry is `list`: on its first
// registration the entry gets its hash and is linked in front of the list
// (`list` then points to it); every registration increments its reference
// count. Throws Exception "invalid operation definition record" when
// def.Size is not kOperationDefSize. The entry must outlive every use of the
// list it is linked into.
void Register(TOperationDef*& list, TOperationDef& def);

}  // namespace tessaro
