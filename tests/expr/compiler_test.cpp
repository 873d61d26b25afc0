// How expression texts compile: precedence, the minus and word rules, name
// recognition, literals and the compile errors with their quoted texts.
#include "expr/compiler.h"

#include <gtest/gtest.h>

#include "expression_testing.h"

namespace tessaro {
namespace {

using exprtest::RunCase;
using exprtest::TCase;

class CompileTable : public ::testing::TestWithParam<TCase> {};

TEST_P(CompileTable, GivesItsOutcome) { EXPECT_EQ(RunCase(GetParam()), GetParam().expected) << GetParam().text; }

const TCase kPrecedence[] = {
    {"1 + 2 * 3", "7"},
    {"(1 + 2) * 3", "9"},
    {"10 - 4 - 3", "3"},
    {"2 * 3 / 4", "1,5"},
    {"2 + 3 = 5", "TRUE"},
    {"((((1 + 2))))", "3"},
    // AND binds like "*", so this reads 1 = (1 AND 2) = 2.
    {"1 = 1 AND 2 = 2", "compile: Type mismatch:\r'1 AND 2'"},
    {"(1 = 1) AND (2 = 2)", "TRUE"},
    {"NOT TRUE OR TRUE", "TRUE"},
    {"NOT (TRUE OR TRUE)", "FALSE"},
};
INSTANTIATE_TEST_SUITE_P(Precedence, CompileTable, ::testing::ValuesIn(kPrecedence));

// A minus is infix unless an operator character stands directly before it.
const TCase kMinus[] = {
    {"-2 * 3", "-6"},
    {"2*-3", "-6"},
    {"2 * (-3)", "-6"},
    {"2 * -3", "compile: Unknown operation:\r'2 *'"},
    {"1 - -2", "compile: Unknown operation:\r'1 -'"},
    {"1--2", "3"},
    {"-(2 + 3)", "-5"},
    {"- 5", "-5"},
    {"-ABS(2)", "-2"},
    {"1E+5 + 1", "100001"},
    {"1 + 1E+5", "100001"},
    {"2.5E-3+1", "1,0025"},
    {"1E-2*100", "1"},
};
INSTANTIATE_TEST_SUITE_P(Minus, CompileTable, ::testing::ValuesIn(kMinus));

const TCase kWords[] = {
    {"7 MOD 3", "1"},
    {"(7)MOD 3", "1"},
    {"7MOD 3", "compile: Unknown operation:\r'7MOD 3'"},
    {"TRUEAND FALSE", "compile: Unknown operation:\r'TRUEAND FALSE'"},
    {"TRUE AND(FALSE)", "FALSE"},
    // Only the character before a word is examined.
    {"7 MOD3", "1"},
    {"true and not false", "TRUE"},
    {"1 <= 2", "TRUE"},
    {"2<>2", "FALSE"},
    {"1 >=1", "TRUE"},
    {"1 < \"a\"", "compile: Type mismatch:\r'1 < \"a\"'"},
};
INSTANTIATE_TEST_SUITE_P(Words, CompileTable, ::testing::ValuesIn(kWords));

const TCase kLiterals[] = {
    {"\"abc\"", "abc"},
    {"(\"a)b\")", "a)b"},
    {"\"a\"\"b\"", "a\"b"},
    {"\"Ab\" + \"cD\"", "AbcD"},
    {"24.12.2004", "24.12.2004"},
    {"1.5", "1,5"},
    {"1,5", "1,5"},
    {".5", "0,5"},
    {"TRUE", "TRUE"},
    {"false", "FALSE"},
    {"\"žluť\"", "žluť"},
    {"", ""},
    {"  ( )  ", ""},
};
INSTANTIATE_TEST_SUITE_P(Literals, CompileTable, ::testing::ValuesIn(kLiterals));

const TCase kFunctions[] = {
    {"ABS 5", "5"},
    {"ABS(-5)", "5"},
    {"MIN((1, 2))", "1"},
    {"TODAY()", "compile: Missing operand:\r''"},
    {"ABS", "compile: Missing operand:\r''"},
    {"MIN(1, )", "compile: Missing operand:\r''"},
    {"MIN(1, 2, 3, 4, 5)", "compile: Incorrect number of operands:\r'MIN(1, 2, 3, 4, 5)'"},
    {"MIN(1, 2, 3)", "compile: Type mismatch:\r'MIN(1, 2, 3)'"},
    {"MIN(1, \"a\")", "compile: Type mismatch:\r'MIN(1, \"a\")'"},
    {"TODAY(1)", "compile: Type mismatch:\r'TODAY(1)'"},
    {"STR$(1) + STR(1, 1, 0)", "11"},
    {"DAYTEXT(1)", "neděle"},
};
INSTANTIATE_TEST_SUITE_P(Functions, CompileTable, ::testing::ValuesIn(kFunctions));

// Errors quote the upper-cased sub-expression that failed, single quotes doubled.
const TCase kErrors[] = {
    {"1 + \"a\"", "compile: Type mismatch:\r'1 + \"a\"'"},  {"foo", "compile: Unknown operation:\r'FOO'"},
    {"1 + foo's", "compile: Unknown operation:\r'FOO''S'"}, {"(1 + 2", "compile: \")\" expected:\r'(1 + 2'"},
    {"1 + 2)", "compile: \"(\" expected:\r'1 + 2)'"},       {")(", "compile: \"(\" expected:\r')('"},
    {"\"abc", "compile: Unterminated string:\r'\"abc'"},    {"\"(\" + (", "compile: \")\" expected:\r'\"(\" + ('"},
    {"1 +", "compile: Unknown operation:\r'1 +'"},          {"TRUE AND", "compile: Missing operand:\r''"},
};
INSTANTIATE_TEST_SUITE_P(Errors, CompileTable, ::testing::ValuesIn(kErrors));

TEST(Compile, LongFailingPartIsQuotedCut) {
  // A megabyte expression must not end up whole in an error page.
  std::string text = "1 + " + std::string(1 << 20, '(');
  TExpression e;
  try {
    e.Compile(text, BuiltInOperations());
    FAIL() << "compiled";
  } catch (const ExpressionError& error) {
    const std::string& message = error.Message();
    EXPECT_LT(message.size(), kMaxQuotedSubExpression + 40);
    EXPECT_TRUE(message.ends_with("'...")) << message.substr(0, 80);
  }
  // At the limit nothing is cut.
  EXPECT_EQ(CompileErrorMessage(ceUnknownOperation, std::string(kMaxQuotedSubExpression, 'A')),
            "Unknown operation:\r'" + std::string(kMaxQuotedSubExpression, 'A') + "'");
}

TEST(Compile, ReportsResultTypeAndText) {
  struct {
    const char* text;
    TValueType type;
  } cases[] = {{"", vtNone}, {"1", vtNumber}, {"\"a\"", vtString}, {"TODAY", vtDate}, {"1 < 2", vtBoolean}};
  for (const auto& c : cases) {
    TExpression e;
    e.Compile(c.text, BuiltInOperations());
    EXPECT_EQ(e.ResultType(), c.type) << c.text;
    EXPECT_EQ(e.Text(), c.text);
  }
}

TEST(Compile, FailureLeavesAnEmptyExpressionAndTheErrorText) {
  TExpression e;
  e.Compile("1 + 2", BuiltInOperations());
  try {
    e.Compile("1 + bar", BuiltInOperations());
    FAIL() << "compiled";
  } catch (const ExpressionError& error) {
    EXPECT_EQ(error.Code(), ceUnknownOperation);
  }
  EXPECT_EQ(e.ErrorText(), "BAR");
  EXPECT_EQ(e.ResultType(), vtNone);
  TValue value = TValue::Number(1);
  int code = -1;
  e.Evaluate(value, code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(value.IsNull());
}

TEST(Compile, OnlyAWholeLiteralIsComputedAtCompileTime) {
  TExpression e;
  e.Compile("(5)", BuiltInOperations());
  EXPECT_TRUE(e.IsConstant());
  e.Compile("2 + 3", BuiltInOperations());
  EXPECT_FALSE(e.IsConstant());
  EXPECT_EQ(exprtest::Outcome(e, "5", BuiltInOperations()), "5");
}

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

int CompileCode(const std::string& text) {
  TExpression e;
  try {
    e.Compile(text, BuiltInOperations());
  } catch (const ExpressionError& error) {
    return error.Code();
  }
  return 0;
}

TEST(Compile, NestingIsBoundedAndParenthesesAloneAreNot) {
  const int limit = kMaxExpressionNesting;
  EXPECT_EQ(CompileCode(Repeat("ABS(", limit - 1) + "1" + Repeat(")", limit - 1)), 0);
  EXPECT_EQ(CompileCode(Repeat("ABS(", limit) + "1" + Repeat(")", limit)), ceTooComplicated);
  EXPECT_EQ(CompileCode("1" + Repeat("+1", limit - 1)), 0);
  EXPECT_EQ(CompileCode("1" + Repeat("+1", limit)), ceTooComplicated);
  // Enclosing parentheses are stripped in a loop, not by recursion.
  EXPECT_EQ(exprtest::Outcome(Repeat("(", 100000) + "7" + Repeat(")", 100000)), "7");
  EXPECT_EQ(exprtest::Outcome("1+" + Repeat("(", 100000) + "7" + Repeat(")", 100000)), "8");
}

TEST(Compile, LongTextsFailWithoutExhaustingTheMachine) {
  EXPECT_EQ(CompileCode(Repeat("1+", 20000) + "1"), ceTooComplicated);
  EXPECT_EQ(CompileCode(Repeat("-", 20000) + "1"), ceTooComplicated);
  EXPECT_EQ(CompileCode("MIN(" + Repeat("1,", 20000) + "1)"), ceOperandCount);
  EXPECT_EQ(CompileCode(Repeat("\"a\" ", 20000)), ceUnknownOperation);
}

}  // namespace
}  // namespace tessaro
