// The registration table of the built-in operations.
//
// Each row gives a name, its syntax level, extra flags (short-circuit kind,
// accepting Null), the design-tool group, the function and one or more
// signatures. A signature is written "R:OOO": the result type letter, a
// colon, then one letter per operand (N number, S string, D date, B
// boolean). Every signature becomes one entry, registered in table order;
// since registration links an entry in front of the list, the list runs from
// the last row to the first. The compiler chooses among entries of one name
// by operand count and types, so the order only matters for equal names.
#include "expr/builtin_operations.h"

#include <memory>
#include <string_view>
#include <vector>

#include "expr/builtin_functions.h"
#include "util/codepage.h"
#include "util/exception.h"

namespace tessaro {
namespace {

using namespace builtins;

enum TGroup { gArithmetic, gComparison, gLogic, gText, gDate, gMisc };

// Group names shown by the design tool, by TGroup.
constexpr const char* kGroupNames[] = {"Aritmetické funkce", "Porovnávání",     "Logické operace",
                                       "Textové funkce",     "Operace s datem", "Misc.funkce"};

struct TBuiltInRow {
  const char* name;
  TSyntaxLevel level;
  uint16_t flags;  // flags beside the level
  TGroup group;
  TOperationFunction function;
  const char* signatures;  // blank-separated "R:OOO" signatures
};

constexpr uint16_t kOr = ShortCircuitFlags(scOr);
constexpr uint16_t kAnd = ShortCircuitFlags(scAnd);
constexpr uint16_t kIf = ShortCircuitFlags(scIf);
constexpr uint16_t kNull = kAcceptsNullFlag;

constexpr TSyntaxLevel kFn = slFunction;

const TBuiltInRow kBuiltIns[] = {
    {"+", slAdditive, 0, gArithmetic, AddNumbers, "N:NN"},
    {"+", slAdditive, 0, gArithmetic, AddDays, "D:DN D:ND"},
    {"+", slAdditive, 0, gArithmetic, Concatenate, "S:SS"},
    {"-", slPrefix, 0, gArithmetic, Negate, "N:N"},
    {"-", slAdditive, 0, gArithmetic, SubtractNumbers, "N:NN"},
    {"-", slAdditive, 0, gArithmetic, SubtractDays, "D:DN"},
    {"-", slAdditive, 0, gArithmetic, DaysBetween, "N:DD"},
    {"*", slMultiplicative, 0, gArithmetic, Multiply, "N:NN"},
    {"/", slMultiplicative, 0, gArithmetic, Divide, "N:NN"},
    {"MIN", kFn, 0, gArithmetic, Minimum, "N:NN"},
    {"MAX", kFn, 0, gArithmetic, Maximum, "N:NN"},
    {"MOD", slMultiplicative, 0, gArithmetic, Modulo, "N:NN"},
    {"DIV", slMultiplicative, 0, gArithmetic, IntegerDivide, "N:NN"},
    {"ROUND", kFn, 0, gArithmetic, RoundTo, "N:NN N:NNN"},
    {"TRUNC", kFn, 0, gArithmetic, Truncate, "N:N"},
    {"SQR", kFn, 0, gArithmetic, Square, "N:N"},
    {"SQRT", kFn, 0, gArithmetic, SquareRoot, "N:N"},
    {"ABS", kFn, 0, gArithmetic, Absolute, "N:N"},
    {"ODD", kFn, 0, gArithmetic, IsOdd, "B:N"},
    {"EVEN", kFn, 0, gArithmetic, IsEven, "B:N"},
    {"=", slRelational, 0, gComparison, Equal, "B:NN B:SS B:BB B:DD"},
    {"<", slRelational, 0, gComparison, Less, "B:NN B:SS B:BB B:DD"},
    {">", slRelational, 0, gComparison, Greater, "B:NN B:SS B:BB B:DD"},
    {"<=", slRelational, 0, gComparison, NotGreater, "B:NN B:SS B:BB B:DD"},
    {">=", slRelational, 0, gComparison, NotLess, "B:NN B:SS B:BB B:DD"},
    {"<>", slRelational, 0, gComparison, Different, "B:NN B:SS B:BB B:DD"},
    {"NOT", slPrefix, 0, gLogic, Not, "B:B"},
    {"AND", slMultiplicative, kAnd, gLogic, And, "B:BB"},
    {"OR", slAdditive, kOr, gLogic, Or, "B:BB"},
    {"NUM$", kFn, 0, gText, NumberText, "S:NNN"},
    {"STR", kFn, 0, gText, NumberColumn, "S:NNN"},
    {"CHR", kFn, 0, gText, Character, "S:N"},
    {"STR$", kFn, 0, gText, StandardTextOf, "S:N"},
    {"STR$", kFn, 0, gText, FormatNumber, "S:NS S:NSS S:NSSS"},
    {"STR$", kFn, 0, gText, StandardTextOf, "S:S S:D"},
    {"STR$", kFn, 0, gText, FormatDate, "S:DS"},
    {"STR$", kFn, 0, gText, StandardTextOf, "S:B"},
    {"STR$", kFn, 0, gText, FormatBoolean, "S:BS"},
    {"UPPER", kFn, 0, gText, Upper, "S:S"},
    {"LEN", kFn, 0, gText, Length, "N:S"},
    {"POS", kFn, 0, gText, Position, "N:SS"},
    {"COPY", kFn, 0, gText, Copy, "S:SNN"},
    {"JUSTIFY", kFn, 0, gText, Justify, "S:SNN"},
    {"LTRIM", kFn, 0, gText, TrimStart, "S:S"},
    {"RTRIM", kFn, 0, gText, TrimEnd, "S:S"},
    {"TRIM", kFn, 0, gText, TrimBoth, "S:S"},
    {"TODAY", kFn, 0, gDate, Today, "D:"},
    {"YEAR", kFn, 0, gDate, YearOf, "N:D"},
    {"MONTH", kFn, 0, gDate, MonthOf, "N:D"},
    {"DAY", kFn, 0, gDate, DayOf, "N:D"},
    {"IF", kFn, kIf, gMisc, IfThenElse, "N:BNN S:BSS D:BDD B:BBB"},
    {"ISNULL", kFn, kNull, gMisc, IsNullTest, "B:N B:S B:D B:B"},
    {"ISNULL", kFn, kNull, gMisc, NullReplacement, "N:NN S:SS D:DD B:BB"},
    {"DAYOFWEEK", kFn, 0, gDate, DayOfWeekOf, "N:D"},
    {"DATE", kFn, 0, gDate, MakeDate, "D:NNN"},
    {"MONTHTEXT", kFn, 0, gDate, MonthText, "S:N"},
    {"DAYTEXT", kFn, 0, gDate, DayText, "S:N"},
    {"PAD", kFn, 0, gText, PadRight, "S:SN"},
    {"PADL", kFn, 0, gText, PadLeft, "S:SN"},
    {"TODATE", kFn, 0, gMisc, ToDate, "D:N"},
};

uint8_t TypeCode(char letter) {
  switch (letter) {
    case 'N':
      return vtNumber;
    case 'S':
      return vtString;
    case 'D':
      return vtDate;
    case 'B':
      return vtBoolean;
    default:
      throw Exception(std::string("Unknown type letter in a built-in signature: ") + letter);
  }
}

// The entry of one signature ("R:OOO") of a row.
std::unique_ptr<TOperationDef> MakeEntry(const TBuiltInRow& row, std::string_view signature, int topic) {
  auto def = std::make_unique<TOperationDef>();
  def->Name = row.name;
  def->Flags = static_cast<uint16_t>(row.level | row.flags);
  def->Function = row.function;
  def->Group = Cp1250(kGroupNames[row.group]);
  def->HelpFile = kBuiltInHelpFile;
  def->HelpTopic = topic;
  def->Types.push_back(TypeCode(signature[0]));
  for (char letter : signature.substr(2)) def->Types.push_back(TypeCode(letter));
  def->Arity = static_cast<uint16_t>(def->Types.size() - 1);
  return def;
}

class TBuiltInList {
 public:
  TBuiltInList() {
    std::string_view previous_name;
    int topic = 0;
    for (const TBuiltInRow& row : kBuiltIns) {
      if (row.name != previous_name) ++topic;  // one help topic per operation name
      previous_name = row.name;
      std::string_view signatures = row.signatures;
      while (!signatures.empty()) {
        const size_t blank = signatures.find(' ');
        entries_.push_back(MakeEntry(row, signatures.substr(0, blank), topic));
        Register(head_, *entries_.back());
        signatures = blank == std::string_view::npos ? std::string_view() : signatures.substr(blank + 1);
      }
    }
  }
  TOperationDef* Head() const { return head_; }

 private:
  std::vector<std::unique_ptr<TOperationDef>> entries_;  // every built-in entry, in registration order
  TOperationDef* head_ = nullptr;                        // the last registered entry, first of the list
};

}  // namespace

TOperationDef* BuiltInOperations() {
  static const TBuiltInList list;
  return list.Head();
}

}  // namespace tessaro
