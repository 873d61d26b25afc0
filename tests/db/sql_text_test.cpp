// The SQL text rules: comments, statement kinds, and parameter markers.
#include "db/sql_text.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

TEST(StripSqlComments, DropsEveryCommentSpan) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/* x */b", "ab"},                              // the letters around it meet
      {"/*", "/*"},                                      // shorter than 3: unchanged
      {"select 1 /* open", "select 1 "},                 // unterminated: the rest goes
      {"a /* x /* y */ b */ c", "a  b */ c"},            // no nesting
      {"select '/* x */' from t", "select '' from t"},   // quotes are not recognised
      {"a -- b /* c */", "a -- b "},                     // nor line comments
      {"x*/y", "x*/y"},                                  // a closing mark alone is text
      {"/**/", ""},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(StripSqlComments(sql), expected) << sql;
}

TEST(StatementKind, ReadsTheFirstWordAfterComments) {
  struct Case {
    const char* sql;
    bool select;
    bool execute;
  };
  const Case cases[] = {
      {"/* list */ select * from t", true, false},
      {"SELECTX", true, false},  // any seventh character
      {"select", false, false},  // six letters alone
      {"  \r\n\tSeLeCt 1", true, false},
      {"with x as (select 1) select * from x", false, false},
      {"EXECUTE proc", false, true},
      {"execute", false, false},
      {"exec proc", false, false},
      {"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSelectSql(c.sql), c.select) << c.sql;
    EXPECT_EQ(IsExecuteSql(c.sql), c.execute) << c.sql;
  }
}

TEST(ParseSqlParameters, ReplacesMarkersOutsideQuotes) {
  struct Case {
    const char* sql;
    const char* sent;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"where a = :x.Integer and b = 1", "where a = ? and b = 1", {"x.Integer"}},
      {"where a in (:x)", "where a in (?)", {"x"}},
      {"where a = :x\tand b = 1", "where a = ? b = 1", {"x\tand"}},  // a tab belongs to the name
      {"f(:a,:b;:c\r\n:d", "f(?,?;?\r\n?", {"a", "b", "c", "d"}},
      {"x = :p or y = :p", "x = ? or y = ?", {"p", "p"}},  // two occurrences, two parameters
      {"'a :x' \":y\" `:z` :w", "'a :x' \":y\" `:z` ?", {"w"}},
      {"'it''s :x' :y", "'it''s :x' ?", {"y"}},
      {"a::b :::c", "a:b :?", {"c"}},  // "::" is one literal colon
      {"time ': ' : x :", "time ': ' : x :", {}},  // a colon before a delimiter stays
      {"where a = :\"my name\" and b", "where a = ? and b", {"my name"}},
      {"where a = :x'a b'c)", "where a = ?)", {"x'a b'c"}},
      {"where a = :'open", "where a = ?", {"open"}},
      {"v=:a=(b) x", "v=?) x", {"a=(b"}},  // "=" and "(" belong to the name, ")" ends it
  };
  for (const auto& c : cases) {
    const TParsedSql parsed = ParseSqlParameters(c.sql);
    EXPECT_EQ(parsed.Text, c.sent) << c.sql;
    std::vector<std::string> names;
    for (const auto& p : parsed.Parameters) names.push_back(p.Name);
    EXPECT_EQ(names, c.names) << c.sql;
  }
}

TEST(ParseSqlParameters, ReadsDirectionsFromTheWordsAround) {
  const TParsedSql procedure = ParseSqlParameters("EXECUTE proc :a, :b OUTPUT, :c out, :d OUTPUTS");
  ASSERT_EQ(procedure.Parameters.size(), 4u);
  EXPECT_EQ(procedure.Parameters[0].Direction, pdInput);
  EXPECT_EQ(procedure.Parameters[1].Direction, pdInputOutput);
  EXPECT_EQ(procedure.Parameters[2].Direction, pdInputOutput);
  EXPECT_EQ(procedure.Parameters[3].Direction, pdInput);
  EXPECT_EQ(procedure.Text, "EXECUTE proc ?, ? OUTPUT, ? out, ? OUTPUTS");

  const TParsedSql call = ParseSqlParameters("{ :r = call f(:x)}");
  ASSERT_EQ(call.Parameters.size(), 2u);
  EXPECT_EQ(call.Parameters[0].Direction, pdReturnValue);
  EXPECT_EQ(call.Parameters[1].Direction, pdInput);
  EXPECT_EQ(call.Text, "{ ? = call f(?)}");
}

}  // namespace
}  // namespace tessaro
