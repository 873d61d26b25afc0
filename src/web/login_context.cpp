#include "web/login_context.h"

#include "context/request_urls.h"
#include "settings/web_app_options.h"
#include "util/html_escape.h"
#include "util/text.h"
#include "web/tessaro_options.h"

namespace tessaro {

void TLoginContext::DeclareProperties(TPropertyDeclarations<TLoginContext>& p) {
  p.String("logdest", &TLoginContext::logdest)
      .String("logqry", &TLoginContext::logqry)
      .String("PSWD", &TLoginContext::PSWD)
      .String("quiet", &TLoginContext::quiet)
      .String("storecookies", &TLoginContext::storecookies)
      .String("USRNAME", &TLoginContext::USRNAME);
}

bool IsLocalPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  if (path.size() > 1 && (path[1] == '/' || path[1] == '\\')) return false;
  // Browsers drop tabs and line breaks from addresses, so "/<TAB>/host" would
  // become "//host".
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

void TLoginContext::TakeDestinationFrom(const TWebRequest& request) {
  logdest = request.PathInfo();
  logqry = StripSystemFields(request.Query());
}

std::string TLoginContext::Destination() const { return IsLocalPath(logdest) ? logdest : std::string(); }

// The destination and its query come from the visitor (a link to the login
// check can carry any): every tag writes them HTML-escaped, and the
// confirmation link leads only to a path of this portal.
void TLoginContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
                            std::string& replaceText) {
  tRequestContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty()) return;
  if (kind == TTag::Link) {
    std::string url = BaseURL(params.Values("protocol"), false) + Destination();
    if (!logqry.empty()) url += "?" + logqry;
    replaceText = HtmlEscape(url);
  } else if (SameText(tagName, "tag_logaction")) {
    replaceText = HtmlEscape(BaseURL(params.Values("protocol"), false) + Options()->LoginPath);
  } else if (SameText(tagName, "tag_destination")) {
    replaceText = HtmlEscape(Destination());
  } else if (SameText(tagName, "tag_destquery")) {
    replaceText = HtmlEscape(logqry);
  } else if (SameText(tagName, "tag_badlogin")) {
    if (BadLogin && quiet.empty()) replaceText = SameText(lang, "eng") ? Options()->bad_logineng : Options()->bad_login;
  }
}

void TTessaroLoginContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName,
                                   const TStrings& params, std::string& replaceText) {
  TLoginContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty() || !SameText(tagName, "tag_board")) return;
  if (auto* options = dynamic_cast<TTessaroOptions*>(Options()))
    replaceText = ReplaceAll(Trim(options->BlackBoard_AllUsers.Text()), "\r\n", "<br>");
}

}  // namespace tessaro
