// The expression compiler.
//
// An expression is compiled by splitting its text, not by tokenising it. The
// text of a sub-expression is first tried as a literal (number, string, date,
// boolean) and as the name of an operation without operands. Otherwise the
// compiler looks for the operator that binds loosest: it searches the syntax
// levels from relational (4) through additive (3), multiplicative (2) and
// prefix (1) to function calls (0), and on the first level that has an
// occurrence of one of its names takes the rightmost such occurrence. An
// infix operator splits the text into the parts left and right of it, which
// are compiled the same way (so operators of one level associate to the
// left); a prefix operator or a function name must stand at the start, and
// what follows it is its operand or its comma-separated argument list. The
// operands are compiled first and their factors appended, then the operation
// whose name, level, operand count and operand types match is appended: the
// program comes out in postfix order.
//
// Occurrences count only at parenthesis depth 0 and outside string literals,
// and a name is recognised only where its neighbours allow it:
//   - a word (starting with $, a digit, @, a letter or _) must not follow
//     another word character, so "AND" is not found inside "BAND";
//   - a symbol must not follow an operator character, so "=" is not found
//     inside "<=" and "-" right after another operator is a sign, not an
//     infix minus;
//   - unless end of text, "(" or a string literal follows, a name is not
//     recognised where a longer operation name continues it ("<" in "<=",
//     "OR" at the start of a field ORDER_NO);
//   - a "+" or "-" inside the exponent of a number such as 1E+5 is passed
//     over in favour of one further left.
// Infix operators at the first or last character of the text do not count;
// prefix operators and function names count only at the first.
//
// Every step works on views into one upper-cased copy of the text; a
// sub-expression is scanned once per level, so the work is bounded by the
// text length times the nesting depth, which kMaxExpressionNesting caps.
#include "expr/compiler.h"

#include <algorithm>
#include <array>
#include <vector>

#include "expr/expression_errors.h"
#include "util/collation.h"
#include "util/date_format.h"
#include "util/number_format.h"

namespace tessaro {
namespace {

constexpr int kLevelCount = 5;

// Character classes of the recognition rules.
struct TCharClasses {
  std::array<bool, 256> identifier{};  // $ 0-9 @ A-Z _ a-z
  std::array<bool, 256> op{};          // controls ! # % & ' * + - / < = > ? \ ^ ` | ~ and codes 127-255

  constexpr TCharClasses() {
    identifier['$'] = identifier['_'] = true;
    for (int c = '0'; c <= '9'; ++c) identifier[c] = true;
    for (int c = 64; c <= 90; ++c) identifier[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) identifier[c] = true;
    for (int c = 0; c < 32; ++c) op[c] = true;
    for (int c = 127; c < 256; ++c) op[c] = true;
    for (char c : std::string_view("!#%&'*+-/<=>?\\^`|~")) op[static_cast<unsigned char>(c)] = true;
  }
};
constexpr TCharClasses kClasses;

bool IsIdentifierChar(char c) { return kClasses.identifier[static_cast<unsigned char>(c)]; }
bool IsOperatorChar(char c) { return kClasses.op[static_cast<unsigned char>(c)]; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
  return s;
}

// Trims `s` and removes parentheses that enclose all of it, as often as they
// do, trimming after each removal. One pass pairs the parentheses (outside
// string literals), so "((((x))))" costs no more than its length.
std::string_view StripEnclosing(std::string_view s) {
  s = TrimView(s);
  if (s.size() < 2 || s.front() != '(' || s.back() != ')') return s;
  std::vector<int32_t> close_of(s.size(), -1);
  std::vector<int32_t> open;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == '(') {
      open.push_back(static_cast<int32_t>(i));
    } else if (c == ')' && !open.empty()) {
      close_of[open.back()] = static_cast<int32_t>(i);
      open.pop_back();
    }
  }
  size_t first = 0, last = s.size() - 1;
  while (first < last && s[first] == '(' && s[last] == ')' && close_of[first] == static_cast<int32_t>(last)) {
    ++first;
    --last;
    while (first <= last && IsTrimmed(s[first])) ++first;
    while (last > first && IsTrimmed(s[last])) --last;
  }
  if (first > last) return std::string_view();
  return s.substr(first, last - first + 1);
}

// A string literal: quotes at both ends, inner quotes only in pairs, each
// pair standing for one quote. `value` receives the inner text.
bool ParseStringLiteral(std::string_view s, std::string& value) {
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
  std::string_view inner = s.substr(1, s.size() - 2);
  value.clear();
  for (size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '"') {
      if (i + 1 >= inner.size() || inner[i + 1] != '"') return false;
      ++i;
    }
    value += inner[i];
  }
  return true;
}

// A number text with "." as decimal point, or failing that with the regional
// decimal separator.
bool ConvertsAsNumber(std::string_view s, double& value) {
  static const TFormatSettings kPointSettings = [] {
    TFormatSettings fs;
    fs.DecimalSeparator = '.';
    return fs;
  }();
  return TryStrToFloat(s, value, kPointSettings) || TryStrToFloat(s, value, RegionalSettings());
}

// Digits and exactly two "." read as a date in the regional day, month and
// year order.
bool ParseDateLiteral(std::string_view s, TDateTime& value) {
  int dots = 0;
  for (char c : s) {
    if (c == '.')
      ++dots;
    else if (!IsDigit(c))
      return false;
  }
  if (dots != 2) return false;
  TFormatSettings fs = RegionalSettings();
  fs.DateSeparator = '.';
  return TryStrToDate(s, value, fs);
}

// Upper case outside string literals.
std::string UpperCaseOutsideQuotes(std::string_view s) {
  std::string out(s);
  bool quoted = false;
  for (char& c : out) {
    if (c == '"')
      quoted = !quoted;
    else if (!quoted)
      c = AnsiUpperChar(c);
  }
  return out;
}

// The operation list seen by one compile: entries in list order, the
// distinct names of each level, all distinct names sorted (for the
// longer-name rule) and the largest arity.
class TOperationIndex {
 public:
  explicit TOperationIndex(const TOperationDef* list) {
    for (const TOperationDef* def = list; def != nullptr; def = def->Next) {
      entries_.push_back({def, OperationHash(def->Name)});
      max_arity_ = std::max<int>(max_arity_, def->Arity);
      max_name_length_ = std::max(max_name_length_, def->Name.size());
      if (def->Name.empty()) continue;
      sorted_names_.push_back(def->Name);
      int level = def->Level();
      if (level >= kLevelCount) continue;
      auto& names = level_names_[level];
      if (std::find(names.begin(), names.end(), def->Name) == names.end()) {
        names.push_back(def->Name);
        level_starts_[level][static_cast<unsigned char>(def->Name[0])] = true;
      }
    }
    std::sort(sorted_names_.begin(), sorted_names_.end());
    sorted_names_.erase(std::unique(sorted_names_.begin(), sorted_names_.end()), sorted_names_.end());
  }

  int MaxArity() const { return max_arity_; }
  const std::vector<std::string_view>& LevelNames(int level) const { return level_names_[level]; }
  bool MayStartName(int level, char c) const { return level_starts_[level][static_cast<unsigned char>(c)]; }

  // Whether some operation's name starts with `prefix`.
  bool HasNameStartingWith(std::string_view prefix) const {
    auto it = std::lower_bound(sorted_names_.begin(), sorted_names_.end(), prefix);
    return it != sorted_names_.end() && it->starts_with(prefix);
  }

  // The first operation without operands named `name`, or null.
  const TOperationDef* FindWithoutOperands(std::string_view name) const {
    if (name.size() > max_name_length_) return nullptr;
    const uint32_t hash = OperationHash(name);
    for (const auto& e : entries_)
      if (e.hash == hash && e.def->Arity == 0 && e.def->Name == name) return e.def;
    return nullptr;
  }

  // The first operation of this name and level whose operand types are `types`.
  const TOperationDef* Choose(std::string_view name, int level, const std::vector<TValueType>& types) const {
    const uint32_t hash = OperationHash(name);
    for (const auto& e : entries_) {
      const TOperationDef& def = *e.def;
      if (e.hash != hash || def.Level() != level || def.Arity != types.size() || def.Name != name) continue;
      bool match = true;
      for (size_t i = 0; i < types.size() && match; ++i) match = def.OperandType(static_cast<int>(i) + 1) == types[i];
      if (match) return &def;
    }
    return nullptr;
  }

 private:
  struct TEntry {
    const TOperationDef* def;  // the entry
    uint32_t hash;             // OperationHash of its name
  };
  std::vector<TEntry> entries_;                                         // the list in order
  std::array<std::vector<std::string_view>, kLevelCount> level_names_;  // distinct names per level, list order
  std::array<std::array<bool, 256>, kLevelCount> level_starts_{};       // first characters of those names
  std::vector<std::string_view> sorted_names_;                          // every distinct name, sorted
  int max_arity_ = 0;                                                   // the largest Arity in the list
  size_t max_name_length_ = 0;                                          // the longest name in the list
};

// An operation name found in a sub-expression.
struct TOccurrence {
  size_t position;        // where the name starts
  std::string_view name;  // the name
};

class TCompiler {
 public:
  TCompiler(const TOperationIndex& index, TProgram& program, std::string& errorText)
      : index_(index), program_(program), error_text_(errorText) {}

  // Compiles one sub-expression and returns its type.
  TValueType Compile(std::string_view s, int depth);

 private:
  [[noreturn]] void Fail(int code, std::string_view s) {
    error_text_.assign(s);
    throw ExpressionError(code, CompileErrorMessage(code, s));
  }
  bool CompileLiteral(std::string_view s, TValueType& type);
  void MarkTopLevel(std::string_view s);
  bool Find(std::string_view s, int level, TOccurrence& found) const;
  bool Recognised(std::string_view s, size_t p, std::string_view name) const;
  static bool InExponent(std::string_view s, size_t p);
  std::vector<std::string_view> Operands(std::string_view s, int level, const TOccurrence& at);
  TValueType CompileOperation(std::string_view s, int level, const TOccurrence& at, int depth);

  const TOperationIndex& index_;    // the operation list
  TProgram& program_;               // where factors are appended
  std::string& error_text_;         // receives the sub-expression of a failure
  std::vector<uint8_t> top_level_;  // per character of the sub-expression being searched: 1 at depth 0 outside quotes
  std::string literal_;             // scratch for string literals
};

bool TCompiler::CompileLiteral(std::string_view s, TValueType& type) {
  const char c = s[0];
  double number;
  if ((IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e' ||
       c == RegionalSettings().DecimalSeparator) &&
      ConvertsAsNumber(s, number)) {
    program_.AddConstant(TValue::Number(number));
    type = vtNumber;
    return true;
  }
  if (ParseStringLiteral(s, literal_)) {
    program_.AddConstant(TValue::String(literal_));
    type = vtString;
    return true;
  }
  TDateTime date;
  if (ParseDateLiteral(s, date)) {
    program_.AddConstant(TValue::Date(date));
    type = vtDate;
    return true;
  }
  if (s == "TRUE" || s == "FALSE") {
    program_.AddConstant(TValue::Boolean(s == "TRUE"));
    type = vtBoolean;
    return true;
  }
  return false;
}

void TCompiler::MarkTopLevel(std::string_view s) {
  top_level_.assign(s.size(), 0);
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted) continue;
    if (c == ')') --depth;
    top_level_[i] = depth == 0 ? 1 : 0;
    if (c == '(') ++depth;
  }
}

bool TCompiler::Recognised(std::string_view s, size_t p, std::string_view name) const {
  const char first = name[0];
  if (IsIdentifierChar(first)) {
    if (p > 0 && IsIdentifierChar(s[p - 1])) return false;
  } else if (IsOperatorChar(first)) {
    if (p > 0 && IsOperatorChar(s[p - 1])) return false;
  } else if (p != 0) {
    return false;
  }
  const size_t end = p + name.size();
  if (end < s.size() && s[end] != '(' && s[end] != '"' && index_.HasNameStartingWith(s.substr(p, name.size() + 1)))
    return false;
  return true;
}

// Whether the sign at p belongs to the exponent of a number: the character
// before it is an E, and the run from after the last blank or operator
// character before that E to the digits after the sign reads as a number.
bool TCompiler::InExponent(std::string_view s, size_t p) {
  if (p < 2 || p + 1 >= s.size() || (s[p - 1] != 'E' && s[p - 1] != 'e')) return false;
  size_t start = p - 1;
  while (start > 0 && s[start - 1] != ' ' && !IsOperatorChar(s[start - 1])) --start;
  size_t end = p + 1;
  while (end < s.size() && IsDigit(s[end])) ++end;
  double unused;
  return ConvertsAsNumber(s.substr(start, end - start), unused);
}

// The rightmost recognised occurrence of a name of `level`; on a tie the
// name that comes first in the list.
bool TCompiler::Find(std::string_view s, int level, TOccurrence& found) const {
  const auto& names = index_.LevelNames(level);
  if (names.empty()) return false;
  if (level <= slPrefix) {
    if (!top_level_[0]) return false;
    for (std::string_view name : names)
      if (s.starts_with(name) && Recognised(s, 0, name)) {
        found = {0, name};
        return true;
      }
    return false;
  }
  for (size_t p = s.size() - 1; p-- > 1;) {  // neither the first nor the last character
    if (!top_level_[p] || !index_.MayStartName(level, s[p])) continue;
    for (std::string_view name : names) {
      if (s.compare(p, name.size(), name) != 0 || !Recognised(s, p, name)) continue;
      if ((name == "+" || name == "-") && InExponent(s, p)) continue;
      found = {p, name};
      return true;
    }
  }
  return false;
}

// The operand texts of the operation found at `at`. A function's argument
// list is split at commas at depth 0 outside string literals.
std::vector<std::string_view> TCompiler::Operands(std::string_view s, int level, const TOccurrence& at) {
  const size_t after = at.position + at.name.size();
  if (level >= slMultiplicative) return {s.substr(0, at.position), s.substr(after)};
  if (level == slPrefix) return {s.substr(after)};
  std::string_view list = StripEnclosing(s.substr(after));
  std::vector<std::string_view> pieces;
  int depth = 0;
  bool quoted = false;
  size_t start = 0;
  for (size_t i = 0; i < list.size(); ++i) {
    char c = list[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      pieces.push_back(list.substr(start, i - start));
      start = i + 1;
      if (static_cast<int>(pieces.size()) > index_.MaxArity()) Fail(ceOperandCount, s);
    }
  }
  pieces.push_back(list.substr(start));
  if (static_cast<int>(pieces.size()) > index_.MaxArity()) Fail(ceOperandCount, s);
  return pieces;
}

TValueType TCompiler::CompileOperation(std::string_view s, int level, const TOccurrence& at, int depth) {
  std::vector<std::string_view> operands = Operands(s, level, at);
  std::vector<TValueType> types;
  std::vector<int32_t> starts;
  for (std::string_view operand : operands) {
    starts.push_back(static_cast<int32_t>(program_.Size()));
    types.push_back(Compile(operand, depth + 1));
  }
  const TOperationDef* def = index_.Choose(at.name, level, types);
  if (def == nullptr) Fail(ceTypeMismatch, s);
  program_.AddOperation(def, starts.size() > 1 ? starts[1] : starts[0], starts.back());
  return def->ResultType();
}

TValueType TCompiler::Compile(std::string_view s, int depth) {
  s = StripEnclosing(s);
  if (depth > kMaxExpressionNesting) Fail(ceTooComplicated, s);
  if (s.empty()) Fail(ceMissingOperand, s);
  TValueType type;
  if (CompileLiteral(s, type)) return type;
  if (const TOperationDef* def = index_.FindWithoutOperands(s)) {
    const auto here = static_cast<int32_t>(program_.Size());
    program_.AddOperation(def, here, here);
    return def->ResultType();
  }
  MarkTopLevel(s);
  for (int level = kLevelCount - 1; level >= 0; --level) {
    TOccurrence at;
    if (Find(s, level, at)) return CompileOperation(s, level, at, depth);
  }
  Fail(ceUnknownOperation, s);
}

// Parenthesis balance and quote count of the whole text: code 5 when a ")"
// closes more than was opened, 6 when some "(" stays open, 7 for an odd
// number of quotes.
int CheckBalance(std::string_view s) {
  int depth = 0;
  int quotes = 0;
  for (char c : s) {
    if (c == '"') {
      ++quotes;
    } else if (quotes % 2 == 0) {
      if (c == '(') ++depth;
      if (c == ')' && --depth < 0) return ceOpenParenthesisExpected;
    }
  }
  if (depth > 0) return ceCloseParenthesisExpected;
  if (quotes % 2 != 0) return ceUnterminatedString;
  return 0;
}

}  // namespace

TValueType CompileExpression(std::string_view text, const TOperationDef* operations, TProgram& program,
                             std::string& errorText) {
  program.Clear();
  errorText.clear();
  std::string_view whole = StripEnclosing(text);
  std::string literal;
  if (ParseStringLiteral(whole, literal)) {
    program.AddConstant(TValue::String(std::move(literal)));
    program.Link();
    return vtString;
  }
  const std::string work = UpperCaseOutsideQuotes(whole);
  if (int code = CheckBalance(work)) {
    errorText = work;
    throw ExpressionError(code, CompileErrorMessage(code, work));
  }
  if (work.empty()) return vtNone;
  TOperationIndex index(operations);
  TCompiler compiler(index, program, errorText);
  try {
    TValueType type = compiler.Compile(work, 1);
    program.Link();
    return type;
  } catch (...) {
    program.Clear();
    throw;
  }
}

}  // namespace tessaro
