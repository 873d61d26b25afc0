// HTML escaping: one pass over the text, writing the five markup characters
// as entities and, on request, blanks and line breaks in their visible HTML
// forms. A NUL ends the text, as it ends a text handed over from a C string.
#include "util/html_escape.h"

namespace tessaro {

std::string HtmlEscape(std::string_view text, bool blanks_as_nbsp, bool breaks_as_br) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    char c = text[i];
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";  // HTML 4 has no &apos;
        break;
      case ' ':
        if (blanks_as_nbsp)
          out += "&nbsp;";
        else
          out += c;
        break;
      case '\r':
        if (breaks_as_br) {
          out += "<br>";
          if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
          out += c;
        }
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace tessaro
