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

std::string HtmlAttributeEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    switch (const char c = text[i]) {
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
      default:
        out += c;
    }
  }
  return out;
}

std::string ScriptStringLiteral(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "'";
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '\'' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || c == '<' || c == '>') {
      // A "</" could close a script element the literal is copied into;
      // control characters have no place in a one-line attribute.
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '\'';
  return out;
}

}  // namespace tessaro
