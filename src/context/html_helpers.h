// Small HTML fragments built as plain strings in the internal code page
// (windows-1250): escaping and the minimal pages the web module answers with
// when no template can be used.
#pragma once

#include <string>
#include <string_view>

namespace tessaro {

// Replaces & < > and the double quote by their entities; with `blanks_as_nbsp`
// every blank becomes &nbsp;, with `breaks_as_br` every CR or CR LF becomes
// <br> (a lone LF is copied). Copying stops at a NUL character.
std::string HtmlEscape(std::string_view text, bool blanks_as_nbsp = false, bool breaks_as_br = false);

// The <HEAD> element of the minimal pages: Czech (cs, windows-1250) or
// English (en-us, iso-8859-1).
std::string HtmlHead(std::string_view title, bool english, std::string_view extra);

// A page with a title and one paragraph, on one line.
std::string SimplePage(std::string_view title, std::string_view message, bool english);

// "Chyba" / "Neplatný požadavek" in Czech, "Error" / "Invalid request" otherwise.
std::string InvalidRequestPage(bool czech);

// The page that shows an error message with the title "Chyba" or "Error".
std::string ErrorPage(bool czech, std::string_view message);

}  // namespace tessaro
