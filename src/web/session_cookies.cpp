#include "web/session_cookies.h"

#include "util/datetime.h"
#include "util/guid.h"

namespace tessaro {

void SendCookies(const TStrings& values, TCookieVariant variant, const TWebRequest& request,
                 const TWebAppOptions& options, TWebResponse& response) {
  switch (variant) {
    case TCookieVariant::Session:
      response.SetCookieField(values, "", "/", -1, false);
      return;
    case TCookieVariant::Persistent:
      response.SetCookieField(values, request.Host(), request.ScriptName() + "/", Date() + options.cookie_expires,
                              false);
      return;
    case TCookieVariant::Expired:
      response.SetCookieField(values, request.Host(), request.ScriptName() + "/", Date() - 300, false);
      return;
  }
}

void StartNewSession(tRequestContext& context, TWebResponse& response) {
  std::string id = GUIDToString(CreateGUID());
  TStrings values;
  values.Add("ZNKSESSIONID=" + id);
  response.SetCookieField(values, "", "/", -1, false);
  context.Cookies().ZNKSESSIONID = id;
}

void SendLogoutCookies(TWebRequest& request, tRequestContext& context, const TWebAppOptions& options,
                       TWebResponse& response) {
  TStrings values;
  const TStrings& sent = request.CookieFields();
  for (size_t i = 0; i < sent.Count(); ++i) values.Add(sent.Names(i) + "=logged_out");
  SendCookies(values, TCookieVariant::Session, request, options, response);
  SendCookies(values, TCookieVariant::Expired, request, options, response);
  context.Cookies().ZNKCGIUSERID.clear();
  context.Cookies().ZNKSESSIONID.clear();
}

}  // namespace tessaro
