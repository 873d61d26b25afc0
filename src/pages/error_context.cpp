#include "pages/error_context.h"

#include "cgi/web_response.h"
#include "context/html_helpers.h"
#include "context/request_urls.h"
#include "util/codepage.h"
#include "util/format.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {

std::string TTessaroErrorContext::TemplateFile() {
  const TTessaroOptions* options = PortalOptions();
  if (options == nullptr || options->pgERROR.empty()) return "";
  return ResolveTemplatePath(*options, options->pgERROR);
}

void TTessaroErrorContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                   const TStrings& params, std::string& replaceText) {
  TTessaroContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty()) return;
  if (SameText(tagName, "tag_errorstatus")) {
    const int code = Response() ? Response()->StatusCode() : 500;
    replaceText = Format(Cp1250("Chyba č.%d: %s"), {code, std::string(ReasonPhrase(code))});
  } else if (SameText(tagName, "tag_errormessage")) {
    replaceText = ErrorMessageHtml(message_ ? *message_ : std::string("Generic system error"));
  }
}

}  // namespace tessaro
