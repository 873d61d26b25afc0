#include "web/login_context.h"

#include "context/request_urls.h"
#include "settings/web_app_options.h"
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

void TLoginContext::TakeDestinationFrom(const TWebRequest& request) {
  logdest = request.PathInfo();
  logqry = StripSystemFields(request.Query());
}

void TLoginContext::HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
                            std::string& replaceText) {
  tRequestContext::HTMLTag(sender, kind, tagName, params, replaceText);
  if (!replaceText.empty()) return;
  if (kind == TTag::Link) {
    replaceText = BaseURL(params.Values("protocol"), false) + logdest;
    if (!logqry.empty()) replaceText += "?" + logqry;
  } else if (SameText(tagName, "tag_logaction")) {
    replaceText = BaseURL(params.Values("protocol"), false) + Options()->LoginPath;
  } else if (SameText(tagName, "tag_destination")) {
    replaceText = logdest;
  } else if (SameText(tagName, "tag_destquery")) {
    replaceText = logqry;
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
