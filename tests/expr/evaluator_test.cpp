// Evaluation: short-circuit jumps, Null propagation, caching, the evaluation
// error codes and the text of results; registration of operation entries.
#include <gtest/gtest.h>

#include "expr/builtin_operations.h"
#include "expression_testing.h"

namespace tessaro {
namespace {

using exprtest::Outcome;
using exprtest::RunCase;
using exprtest::TCase;

class EvaluateTable : public ::testing::TestWithParam<TCase> {};

TEST_P(EvaluateTable, GivesItsOutcome) { EXPECT_EQ(RunCase(GetParam()), GetParam().expected) << GetParam().text; }

// A failure or a Null in an operand that is not evaluated has no effect.
const TCase kShortCircuit[] = {
    {"FALSE AND (1 MOD 0 = 0)", "FALSE"},
    {"TRUE AND (1 MOD 0 = 0)", "error 104: Division by zero"},
    {"TRUE OR (1 MOD 0 = 0)", "TRUE"},
    {"FALSE OR (1 MOD 0 = 0)", "error 104: Division by zero"},
    {"FALSE AND (MONTHTEXT(13) = \"x\")", "FALSE"},
    {"TRUE OR (MONTHTEXT(13) = \"x\")", "TRUE"},
    {"IF(1 = 1, 1, 1 MOD 0)", "1"},
    {"IF(1 = 2, 1 MOD 0, 2)", "2"},
    {"IF(1 = 1, 1 MOD 0, 2)", "error 104: Division by zero"},
    {"IF(TRUE, 1, LEN(MONTHTEXT(13)))", "1"},
    {"IF(TRUE, IF(FALSE, 1 MOD 0, 2), 1 MOD 0)", "2"},
    {"IF(FALSE, 1 MOD 0, IF(TRUE, 3, 1 MOD 0))", "3"},
    {"(FALSE AND (1 MOD 0 = 0)) OR TRUE", "TRUE"},
    {"TRUE OR (FALSE AND (1 MOD 0 = 0))", "TRUE"},
    {"FALSE OR (FALSE AND (1 MOD 0 = 0))", "FALSE"},
    {"IF(FALSE OR TRUE, \"a\", \"b\") + IF(TRUE AND FALSE, \"c\", \"d\")", "ad"},
    {"STR$(IF(1 < 2, 10, 1 MOD 0) + IF(1 > 2, 1 MOD 0, 5))", "15"},
};
INSTANTIATE_TEST_SUITE_P(ShortCircuit, EvaluateTable, ::testing::ValuesIn(kShortCircuit));

const TCase kNull[] = {
    {"MONTHTEXT(13)", ""},
    {"MONTHTEXT(13) = \"x\"", ""},
    {"LEN(MONTHTEXT(13)) + 1", ""},
    {"TRUE AND (MONTHTEXT(13) = \"x\")", ""},
    {"ISNULL(MONTHTEXT(13))", "TRUE"},
    {"ISNULL(MONTHTEXT(13), \"none\")", "none"},
    {"ISNULL(MONTHTEXT(1), \"none\")", "leden"},
    // A Null condition skips neither branch: both are evaluated.
    {"IF(MONTHTEXT(13) = \"x\", 1, 2)", ""},
    {"IF(MONTHTEXT(13) = \"x\", 1, 1 MOD 0)", "error 104: Division by zero"},
};
INSTANTIATE_TEST_SUITE_P(Null, EvaluateTable, ::testing::ValuesIn(kNull));

const TCase kErrors[] = {
    {"1E300 * 1E300", "error 103: Too large/small number"},
    {"1 DIV 0", "error 104: Division by zero"},
    {"SQRT(-1)", "error 105: Invalid operand"},
    {"DATE(30, 2, 2004)", "error 100: Invalid argument to date encode"},
    {"PAD(\"a\", 1E9)", "error 100: Text width 1000000000 out of range"},
};
INSTANTIATE_TEST_SUITE_P(Errors, EvaluateTable, ::testing::ValuesIn(kErrors));

const TCase kText[] = {
    {"2.5", "2,5"},
    {"1E20", "1E20"},
    {"1/3", "0,333333333333333"},
    {"DATE(24, 12, 2004)", "24.12.2004"},
    {"TODATE(1.5)", "31.12.1899 12:00:00"},
    {"1 < 2", "TRUE"},
    {"DAYOFWEEK(DATE(2, 1, 2005))", "1"},
};
INSTANTIATE_TEST_SUITE_P(AsString, EvaluateTable, ::testing::ValuesIn(kText));

// A test operation list in front of the built-ins.
class CustomOperations : public ::testing::Test {
 protected:
  static TValue Tick(const TOperationDef&, TExpression&, std::span<const TValue>) { return TValue::Number(++calls); }
  static TValue WrongKind(const TOperationDef&, TExpression&, std::span<const TValue>) {
    return TValue::String("text");
  }
  static TValue Fails(const TOperationDef&, TExpression&, std::span<const TValue>) {
    if (failing) throw Exception("went wrong");
    return TValue::Number(1);
  }
  // A field whose reading fails inside the standard library.
  static TValue FailsInLibrary(const TOperationDef&, TExpression&, std::span<const TValue>) {
    return TValue::Number(std::string("ab").at(5));
  }

  void Add(TOperationDef& def, const char* name, TOperationFunction function, uint16_t flags = 0) {
    def.Name = name;
    def.Function = function;
    def.Flags = flags;
    def.Types = {vtNumber};
    Register(list, def);
  }

  void SetUp() override {
    calls = 0;
    failing = false;
    Add(cached, "CACHED", Tick, kCachedFlag);
    Add(uncached, "UNCACHED", Tick);
    Add(wrong, "WRONG", WrongKind);
    Add(fails, "FAILS", Fails);
    Add(library, "LIBRARY", FailsInLibrary);
  }

  std::string Eval(TExpression& e, const char* text) { return Outcome(e, text, list); }

  static inline int calls = 0;
  static inline bool failing = false;
  TOperationDef cached, uncached, wrong, fails, library;
  TOperationDef* list = BuiltInOperations();
};

TEST_F(CustomOperations, CachedValueIsComputedOncePerEvaluation) {
  TExpression e;
  EXPECT_EQ(Eval(e, "CACHED + CACHED * 10"), "11");
  EXPECT_EQ(calls, 1);
  TValue value;
  int code;
  e.Evaluate(value, code);
  EXPECT_EQ(e.AsString(), "22");
  EXPECT_EQ(Eval(e, "UNCACHED + UNCACHED * 10"), "43");
  EXPECT_EQ(calls, 4);
}

TEST_F(CustomOperations, SkippedOccurrenceLeavesTheCacheToTheNextOne) {
  TExpression e;
  EXPECT_EQ(Eval(e, "IF(FALSE, CACHED, 0) + CACHED + CACHED"), "2");
  EXPECT_EQ(calls, 1);
}

TEST_F(CustomOperations, EvaluationErrorsAreCodedAndCleared) {
  TExpression e;
  EXPECT_EQ(Eval(e, "WRONG + 1"), "error 102: Invalid operand type");
  EXPECT_EQ(e.AsString(), "Error");
  EXPECT_TRUE(e.Value().IsNull());

  failing = true;
  EXPECT_EQ(Eval(e, "FAILS + 1"), "error 100: went wrong");
  failing = false;
  TValue value;
  int code;
  e.Evaluate(value, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(e.ErrorMessage(), "");
  EXPECT_EQ(e.AsString(), "2");

  // Neither Evaluate nor AsString lets a standard-library failure through.
  EXPECT_TRUE(Eval(e, "LIBRARY + 1").starts_with("error 100: ")) << e.ErrorMessage();
  EXPECT_EQ(e.AsString(), "Error");
}

TEST_F(CustomOperations, EvaluateCheckedRaisesTheMessage) {
  TExpression e;
  e.Compile("1 MOD 0", list);
  TValue value;
  try {
    e.EvaluateChecked(value);
    FAIL() << "no error";
  } catch (const ExpressionError& error) {
    EXPECT_EQ(error.Code(), eeZeroDivide);
    EXPECT_EQ(error.Message(), "Division by zero");
  }
  e.Compile("2 + 3", list);
  e.EvaluateChecked(value);
  EXPECT_EQ(value, TValue::Number(5));
}

TEST(Register, LinksOnceAndCountsEveryRegistration) {
  TOperationDef a, b;
  a.Name = "AB";
  b.Name = "X";
  TOperationDef* list = nullptr;
  Register(list, a);
  Register(list, b);
  Register(list, a);
  EXPECT_EQ(list, &b);
  EXPECT_EQ(b.Next, &a);
  EXPECT_EQ(a.Next, nullptr);
  EXPECT_EQ(a.RefCount, 2);
  EXPECT_EQ(a.Hash, static_cast<uint32_t>('A' + 'B'));
}

TEST(Register, RefusesAnEntryOfAnotherFormat) {
  TOperationDef def;
  def.Size = 48;
  TOperationDef* list = nullptr;
  try {
    Register(list, def);
    FAIL() << "registered";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "invalid operation definition record");
  }
  EXPECT_EQ(list, nullptr);
}

TEST(Register, CompilerPrefersTheEarlierEntryOfAName) {
  TOperationDef own;
  own.Name = "ABS";
  own.Flags = slFunction;
  own.Arity = 1;
  own.Types = {vtString, vtNumber};
  own.Function = [](const TOperationDef&, TExpression&, std::span<const TValue>) { return TValue::String("own"); };
  TOperationDef* list = BuiltInOperations();
  Register(list, own);
  TExpression e;
  EXPECT_EQ(Outcome(e, "ABS(1)", list), "own");
  EXPECT_EQ(Outcome(e, "ABS(1)", BuiltInOperations()), "1");
}

}  // namespace
}  // namespace tessaro
