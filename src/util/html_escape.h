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

}  // namespace tessaro
