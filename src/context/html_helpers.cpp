#include "context/html_helpers.h"

#include "util/codepage.h"
#include "util/format.h"

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

std::string HtmlHead(std::string_view title, bool english, std::string_view extra) {
  return Format(
      "<HEAD><meta http-equiv=\"Content-Language\" content=\"%s\">\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%s\"><TITLE>%s</TITLE> %s </HEAD>",
      {english ? "en-us" : "cs", english ? "iso-8859-1" : "windows-1250", title, extra});
}

std::string SimplePage(std::string_view title, std::string_view message, bool english) {
  std::string page = "<HTML>";
  page += HtmlHead(title, english, "");
  page += "<BODY><P>";
  page += message;
  page += "</BODY></HTML>";
  return page;
}

std::string InvalidRequestPage(bool czech) {
  static const std::string kMessage = Cp1250("Neplatný požadavek");
  return czech ? SimplePage("Chyba", kMessage, false) : SimplePage("Error", "Invalid request", true);
}

std::string ErrorPage(bool czech, std::string_view message) {
  return SimplePage(czech ? "Chyba" : "Error", message, !czech);
}

}  // namespace tessaro
