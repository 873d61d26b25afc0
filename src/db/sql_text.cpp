// SQL text as the portal's metadata writes it, turned into what a database
// accepts.
//
// Administrators write statements with named parameters (":PID",
// ":FROM.DateTime"); ODBC knows only positional "?" markers. The parser walks
// the text once, copying it and replacing each marker by "?", and records
// the names in order; a name used twice becomes two parameters, each bound
// on its own. Text inside quotes is copied untouched, so a colon in a string
// literal or a quoted identifier never becomes a parameter, and no value is
// ever spliced into the text: values only travel as bound parameters.
//
// Whether a parameter is written back by the database is read from the text
// around the marker, the way the statements of stored procedures say it:
// "EXECUTE proc :a, :b OUTPUT" makes b input-output, "{:r = call f(:a)}"
// makes r the return value.
#include "db/sql_text.h"

#include "util/text.h"

namespace tessaro {
namespace {

bool IsQuote(char c) { return c == '\'' || c == '"' || c == '`'; }

bool EndsName(char c) { return c == ' ' || c == ',' || c == ';' || c == ')' || c == '\r' || c == '\n'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Whether the text begins with `prefix` (any case) and is at least
// `min_length` long, once comments and surrounding blanks are gone.
bool StatementStartsWith(std::string_view sql, std::string_view prefix, size_t min_length) {
  const std::string text = Trim(StripSqlComments(sql));
  return text.size() >= min_length && SameText(std::string_view(text).substr(0, prefix.size()), prefix);
}

// The end of the name that starts at `start`: the first delimiter outside a
// quoted part of the name, or the end of the text.
size_t NameEnd(std::string_view sql, size_t start) {
  char quote = 0;
  size_t i = start;
  for (; i < sql.size(); ++i) {
    const char c = sql[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (IsQuote(c)) {
      quote = c;
    } else if (EndsName(c)) {
      break;
    }
  }
  return i;
}

std::string Unquoted(std::string_view name) {
  if (name.empty() || !IsQuote(name.front())) return std::string(name);
  const char quote = name.front();
  name.remove_prefix(1);
  if (!name.empty() && name.back() == quote) name.remove_suffix(1);
  return std::string(name);
}

size_t SkipBlanks(std::string_view sql, size_t i) {
  while (i < sql.size() && IsBlank(sql[i])) ++i;
  return i;
}

// The direction the words around a marker give it. `written` is the text
// copied so far (before the marker), `after` the position after the name.
TParameterDirection MarkerDirection(std::string_view written, std::string_view sql, size_t after) {
  size_t next = SkipBlanks(sql, after);
  size_t before = written.size();
  while (before > 0 && IsBlank(written[before - 1])) --before;
  if (before > 0 && written[before - 1] == '{' && next < sql.size() && sql[next] == '=') return pdReturnValue;
  size_t word_end = next;
  while (word_end < sql.size() && IsWordChar(sql[word_end])) ++word_end;
  const std::string_view word = sql.substr(next, word_end - next);
  if (SameText(word, "OUTPUT") || SameText(word, "OUT")) return pdInputOutput;
  return pdInput;
}

}  // namespace

std::string StripSqlComments(std::string_view sql) {
  if (sql.size() < 3) return std::string(sql);
  std::string result;
  result.reserve(sql.size());
  bool in_comment = false;
  for (size_t i = 0; i < sql.size(); ++i) {
    const bool pair_follows = i + 1 < sql.size();
    if (!in_comment && pair_follows && sql[i] == '/' && sql[i + 1] == '*') {
      in_comment = true;
      ++i;
    } else if (in_comment && pair_follows && sql[i] == '*' && sql[i + 1] == '/') {
      in_comment = false;
      ++i;
    } else if (!in_comment) {
      result += sql[i];
    }
  }
  return result;
}

bool IsSelectSql(std::string_view sql) { return StatementStartsWith(sql, "select", 7); }

bool IsExecuteSql(std::string_view sql) { return StatementStartsWith(sql, "execute", 8); }

TParsedSql ParseSqlParameters(std::string_view sql) {
  TParsedSql parsed;
  parsed.Text.reserve(sql.size());
  char quote = 0;  // the quote of the quoted part we are in, or 0
  size_t i = 0;
  while (i < sql.size()) {
    const char c = sql[i];
    if (quote != 0 || c != ':') {
      if (quote != 0 && c == quote) {
        quote = 0;
      } else if (quote == 0 && IsQuote(c)) {
        quote = c;
      }
      parsed.Text += c;
      ++i;
      continue;
    }
    if (i + 1 < sql.size() && sql[i + 1] == ':') {
      parsed.Text += ':';
      i += 2;
      continue;
    }
    const size_t end = NameEnd(sql, i + 1);
    if (end == i + 1) {
      parsed.Text += ':';
      ++i;
      continue;
    }
    parsed.Parameters.push_back({Unquoted(sql.substr(i + 1, end - i - 1)), MarkerDirection(parsed.Text, sql, end)});
    parsed.Text += '?';
    i = end;
  }
  return parsed;
}

}  // namespace tessaro
