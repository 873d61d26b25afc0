// The built-in operations: every overload, the registration order and the
// results of the functions at their edges.
#include "expr/builtin_operations.h"

#include <gtest/gtest.h>

#include <map>

#include "expression_testing.h"
#include "util/date_format.h"

namespace tessaro {
namespace {

using exprtest::Outcome;
using exprtest::RunCase;
using exprtest::TCase;

class BuiltInTable : public ::testing::TestWithParam<TCase> {};

TEST_P(BuiltInTable, GivesItsOutcome) { EXPECT_EQ(RunCase(GetParam()), GetParam().expected) << GetParam().text; }

const TCase kArithmetic[] = {
    {"DATE(31, 12, 2004) + 1", "1.1.2005"},
    {"1 + DATE(31, 12, 2004)", "1.1.2005"},
    {"\"a\" + \"b\"", "ab"},
    {"DATE(1, 1, 2005) - 1", "31.12.2004"},
    {"DATE(1, 1, 2005) - DATE(31, 12, 2004)", "1"},
    {"1 - DATE(1, 1, 2005)", "compile: Type mismatch:\r'1 - DATE(1, 1, 2005)'"},
    {"1 / 4", "0,25"},
    {"1 / 0.000001", "0"},
    {"1 / 0.00001", "0"},
    {"1 / 0.00002", "50000"},
    {"1 / 0", "0"},
    {"MIN(3, 3)", "3"},
    {"MIN(2, 3) + MAX(2, 3)", "5"},
    {"7 MOD 3", "1"},
    {"-7 MOD 3", "-1"},
    {"7.5 MOD 2", "1,5"},
    {"7 DIV 2", "3"},
    {"-7 DIV 2", "-3"},
    {"1 MOD 0", "error 104: Division by zero"},
    {"ROUND(2.5, 0)", "2"},
    {"ROUND(3.5, 0)", "4"},
    {"ROUND(-2.5, 0)", "-2"},
    {"ROUND(2.345, 2)", "2,34"},
    {"ROUND(2.3401, 2, 1)", "2,35"},
    {"ROUND(2.34, 2, 1)", "2,34"},
    {"ROUND(2.349, 2, -1)", "2,34"},
    {"ROUND(2.345, 2, 0.00001)", "2,34"},
    {"ROUND(1234, -2)", "1200"},
    {"ROUND(1250, -2)", "1200"},
    {"ROUND(0.125, 30)", "0,125"},
    {"ROUND(123456, -23)", "0"},
    {"ROUND(1350, -2)", "1400"},
    // Units past the double range at both ends.
    {"ROUND(5, -309)", "0"},
    {"ROUND(-5E300, -400)", "0"},
    {"ROUND(2.5, 330)", "2,5"},
    {"ROUND(2.5, 500)", "2,5"},
    {"ROUND(2.4, 0, 1)", "3"},
    {"TRUNC(-2.7)", "-2"},
    {"SQR(3)", "9"},
    {"SQRT(9)", "3"},
    {"ABS(-2)", "2"},
    {"ODD(3)", "TRUE"},
    {"ODD(2.5)", "FALSE"},
    {"ODD(3.5)", "FALSE"},
    {"EVEN(2.5)", "TRUE"},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, BuiltInTable, ::testing::ValuesIn(kArithmetic));

// Strings follow the Czech alphabet and case (lower first); "=" means identical.
const TCase kComparison[] = {
    {"1 < 2", "TRUE"},
    {"2 <= 1", "FALSE"},
    {"2 >= 2", "TRUE"},
    {"1 <> 1", "FALSE"},
    {"\"a\" < \"B\"", "TRUE"},
    {"\"a\" < \"A\"", "TRUE"},
    {"\"a\" = \"A\"", "FALSE"},
    {"\"čaj\" > \"cukr\"", "TRUE"},
    {"\"chata\" > \"hrad\"", "TRUE"},
    {"\"abc\" = \"abc\"", "TRUE"},
    {"FALSE < TRUE", "TRUE"},
    {"DATE(1, 1, 2005) > DATE(31, 12, 2004)", "TRUE"},
    {"NOT (1 = 1)", "FALSE"},
};
INSTANTIATE_TEST_SUITE_P(Comparison, BuiltInTable, ::testing::ValuesIn(kComparison));

const TCase kText[] = {
    {"NUM$(0, 2, 3.14159)", "3,14"},
    {"NUM$(1, 2, 1234.5)", "1,23E+003"},
    {"NUM$(2, 2, 1234.5)", "1\u00a0234,50"},
    {"NUM$(3, 2, 1234.5)", "1\u00a0234,50 Kč"},
    {"NUM$(4, 1, 0.256)", "25,6%"},
    {"NUM$(9, 1, 1)", "error 100: Format '%.1' invalid or incompatible with argument (unterminated directive)"},
    {"STR(1234.5, 10, 1)", "   1\u00a0234,5"},
    {"STR(123456, 3, 0)", "1,23E5"},
    {"CHR(65) + CHR(97.4)", "Aa"},
    {"CHR(256)", "error 105: Invalid operand"},
    {"STR$(1.5)", "1,5"},
    {"STR$(\"x\")", "x"},
    {"STR$(DATE(24, 12, 2004))", "24.12.2004"},
    {"STR$(TODATE(1.5))", "31.12.1899 12:00:00"},
    {"STR$(TRUE)", "True"},
    {"STR$(1.5, \"\")", "1,5"},
    {"STR$(1234.5, \"#,##0.00\")", "1\u00a0234,50"},
    {"STR$(1234.5, \"#,##0.00\", \".\")", "1\u00a0234.50"},
    {"STR$(1234.5, \"#,##0.00\", \".\", \",\")", "1,234.50"},
    {"STR$(1234.5, \"0.0\", \"\")", "12345"},
    {"STR$(DATE(24, 12, 2004), \"yyyy-mm-dd\")", "2004-12-24"},
    {"STR$(TODATE(38345.5), \"d/m\")", "24.12 12:00:00"},
    {"STR$(TRUE, \"ano;ne\")", "ano"},
    {"STR$(FALSE, \"ano;ne\")", "ne"},
    {"STR$(TRUE, \"ano\")", "ano"},
    {"STR$(FALSE, \"ano\")", ""},
    {"UPPER(\"žluťoučký kůň\")", "ŽLUŤOUČKÝ KŮŇ"},
    {"LEN(\"abc\") + LEN(\"\")", "3"},
    {"POS(\"b\", \"abc\")", "2"},
    {"POS(\"x\", \"abc\") + POS(\"\", \"abc\")", "0"},
    {"COPY(\"abcdef\", 2, 3)", "bcd"},
    {"COPY(\"abcdef\", 0, 2)", "ab"},
    {"COPY(\"abcdef\", 5, 10)", "ef"},
    {"COPY(\"abcdef\", 7, 2) + COPY(\"abc\", 2, -1)", ""},
    {"JUSTIFY(\"ab\", 5, 0)", " ab  "},
    {"JUSTIFY(\"ab\", 5, -1)", "ab   "},
    {"JUSTIFY(\"ab\", 5, 2)", "   ab"},
    {"JUSTIFY(\"abcdef\", 3, 0)", "abcdef"},
    {"LTRIM(\"  a \") + \"|\"", "a |"},
    {"RTRIM(\"  a \") + \"|\"", "  a|"},
    {"TRIM(\"  a \") + \"|\"", "a|"},
    {"PAD(\"7\", 3) + \"|\"", "7  |"},
    {"PADL(\"7\", 3)", "  7"},
    {"PAD(\"abcd\", 3)", "abcd"},
};
INSTANTIATE_TEST_SUITE_P(Text, BuiltInTable, ::testing::ValuesIn(kText));

const TCase kDates[] = {
    {"YEAR(DATE(24, 12, 2004))", "2004"},
    {"MONTH(DATE(24, 12, 2004))", "12"},
    {"DAY(DATE(24, 12, 2004))", "24"},
    {"DAYOFWEEK(DATE(2, 1, 2005))", "1"},
    {"DATE(31, 12, 2004)", "31.12.2004"},
    {"DATE(31, 2, 2004)", "error 100: Invalid argument to date encode"},
    {"MONTHTEXT(1)", "leden"},
    {"MONTHTEXT(13)", ""},
    {"DAYTEXT(1)", "neděle"},
    {"DAYTEXT(7)", "sobota"},
    {"DAYTEXT(0)", ""},
    {"TODATE(38345)", "24.12.2004"},
    {"TODAY - TODAY", "0"},
};
INSTANTIATE_TEST_SUITE_P(Dates, BuiltInTable, ::testing::ValuesIn(kDates));

// IF and ISNULL have one entry per type; the first entry whose operand types
// match is chosen.
const TCase kOverloads[] = {
    {"IF(TRUE, 1, 2)", "1"},
    {"IF(FALSE, \"a\", \"b\")", "b"},
    {"IF(TRUE, DATE(1, 2, 2003), TODAY)", "1.2.2003"},
    {"IF(FALSE, TRUE, FALSE)", "FALSE"},
    {"IF(TRUE, 1, \"a\")", "compile: Type mismatch:\r'IF(TRUE, 1, \"a\")'"},
    {"IF(1, 1, 2)", "compile: Type mismatch:\r'IF(1, 1, 2)'"},
    {"ISNULL(1)", "FALSE"},
    {"ISNULL(1, 2)", "1"},
    {"ISNULL(\"a\", 1)", "compile: Type mismatch:\r'ISNULL(\"a\", 1)'"},
    {"ISNULL(MONTHTEXT(0), DAYTEXT(1))", "neděle"},
    {"ROUND(1, 2, 3, 4)", "compile: Type mismatch:\r'ROUND(1, 2, 3, 4)'"},
    {"STR$(1, \"0\", \",\", \".\", \"x\")",
     "compile: Incorrect number of operands:\r'STR$(1, \"0\", \",\", \".\", \"x\")'"},
    {"STR$(\"a\", \"b\")", "compile: Type mismatch:\r'STR$(\"a\", \"b\")'"},
};
INSTANTIATE_TEST_SUITE_P(Overloads, BuiltInTable, ::testing::ValuesIn(kOverloads));

TEST(BuiltIns, TodayIsTheCurrentDate) { EXPECT_EQ(Outcome("TODAY"), DateToStr(Date())); }

TEST(BuiltIns, ListRunsFromTheLastRegisteredEntryToTheFirst) {
  std::vector<const TOperationDef*> entries;
  for (const TOperationDef* d = BuiltInOperations(); d != nullptr; d = d->Next) entries.push_back(d);
  ASSERT_EQ(entries.size(), 92u);
  EXPECT_EQ(entries.front()->Name, "TODATE");
  EXPECT_EQ(entries.back()->Name, "+");
  EXPECT_EQ(entries.back()->Types, (std::vector<uint8_t>{vtNumber, vtNumber, vtNumber}));
  std::map<std::string, int> overloads;
  for (const TOperationDef* d : entries) {
    ++overloads[d->Name];
    EXPECT_EQ(d->Size, kOperationDefSize);
    EXPECT_EQ(d->RefCount, 1);
    EXPECT_EQ(d->Hash, OperationHash(d->Name));
    EXPECT_EQ(d->Types.size(), d->Arity + 1u) << d->Name;
    EXPECT_EQ(d->HelpFile, "BASEOP.HLP");
  }
  EXPECT_EQ(overloads["-"], 4);
  EXPECT_EQ(overloads["STR$"], 9);
  EXPECT_EQ(overloads["ISNULL"], 8);
  EXPECT_EQ(overloads["<>"], 4);
}

TEST(BuiltIns, FlagsAndGroups) {
  struct Expected {
    const char* name;
    int arity;
    TSyntaxLevel level;
    TShortCircuit shortCircuit;
    bool acceptsNull;
    const char* group;
  } expected[] = {
      {"-", 1, slPrefix, scNone, false, "Aritmetické funkce"},
      {"-", 2, slAdditive, scNone, false, "Aritmetické funkce"},
      {"AND", 2, slMultiplicative, scAnd, false, "Logické operace"},
      {"OR", 2, slAdditive, scOr, false, "Logické operace"},
      {"<=", 2, slRelational, scNone, false, "Porovnávání"},
      {"IF", 3, slFunction, scIf, false, "Misc.funkce"},
      {"ISNULL", 2, slFunction, scNone, true, "Misc.funkce"},
      {"TODAY", 0, slFunction, scNone, false, "Operace s datem"},
      {"PADL", 2, slFunction, scNone, false, "Textové funkce"},
  };
  for (const auto& e : expected) {
    const TOperationDef* found = nullptr;
    for (const TOperationDef* d = BuiltInOperations(); d != nullptr && found == nullptr; d = d->Next)
      if (d->Name == e.name && d->Arity == e.arity) found = d;
    ASSERT_NE(found, nullptr) << e.name;
    EXPECT_EQ(found->Level(), e.level) << e.name;
    EXPECT_EQ(found->ShortCircuit(), e.shortCircuit) << e.name;
    EXPECT_EQ(found->AcceptsNull(), e.acceptsNull) << e.name;
    EXPECT_FALSE(found->Cached()) << e.name;
    EXPECT_EQ(found->Group, Cp1250(e.group)) << e.name;
  }
}

}  // namespace
}  // namespace tessaro
