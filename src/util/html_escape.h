// Escaping of text for HTML: shared by the CGI layer's own pages (redirects,
// last-resort failures) and by every fragment the page contexts build.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// Replaces & < > and both quotes by their entities (' becomes &#39;), so the
// result is safe as text and inside attributes quoted either way; with
// `blanks_as_nbsp` every blank becomes &nbsp;, with `breaks_as_br` every CR or
// CR LF becomes <br> (a lone LF is copied). Copying stops at a NUL character.
std::string HtmlEscape(std::string_view text, bool blanks_as_nbsp = false, bool breaks_as_br = false);

// The value of an attribute the caller writes in double quotes: & < > and the
// double quote become entities, the single quote stays, so that a script
// call such as javascript:f('a','b') reads as written. A NUL ends the text.
std::string HtmlAttributeEscape(std::string_view text);

// `text` as a single-quoted script string literal that may stand inside a
// double-quoted HTML attribute once the attribute is escaped
// (HtmlAttributeEscape): the backslash and both quotes are escaped with a
// backslash, line breaks as \r and \n, other control characters, < and > as
// \xNN. A NUL ends the text.
std::string ScriptStringLiteral(std::string_view text);

}  // namespace tessaro
