// The SQL text rules applied before a database sees a statement: comment
// stripping, the statement kind, and the named parameters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "db/parameters.h"

namespace tessaro {

// Drops every "/* ... */" span (delimiters included) and, for an unterminated
// one, the rest of the text. Comments do not nest; quotes and "--" line
// comments are not recognised. A text shorter than 3 characters is returned
// unchanged.
std::string StripSqlComments(std::string_view sql);

// After StripSqlComments and trimming: at least 7 characters that begin with
// "select" (any case).
bool IsSelectSql(std::string_view sql);
// After StripSqlComments and trimming: at least 8 characters that begin with
// "execute" (any case).
bool IsExecuteSql(std::string_view sql);

// One parameter marker of an SQL text.
struct TSqlParameterRef {
  std::string Name;                         // the name as the marker gives it
  TParameterDirection Direction = pdInput;  // see ParseSqlParameters
};

struct TParsedSql {
  std::string Text;                          // the SQL with "?" for every marker
  std::vector<TSqlParameterRef> Parameters;  // one per marker, in text order
};

// Finds the parameter markers of `sql` and puts "?" in their place.
// Outside quoted parts ('...', "..." or `...`) a ":" starts a marker unless
// another ":" follows ("::" is one literal colon). The name runs to the next
// blank, ",", ";", ")", CR, LF or the end; a quote inside the name opens a
// quoted part that these do not end, and a name that begins with a quote
// loses that quote and the same quote at its end. A ":" directly before such
// a delimiter (an empty name) stays a literal colon.
// Direction: pdInputOutput when the next word after the marker is OUTPUT or
// OUT, pdReturnValue for the "{:name = call ...}" form, else pdInput.
TParsedSql ParseSqlParameters(std::string_view sql);

}  // namespace tessaro
