// The portal's cookies and the attributes they travel with.
//
// ZNKSESSIONID is SameSite=Strict: a request that another site starts (a
// link, a form, a picture) arrives without it, and the session-bound paths
// then answer "Cross link not allowed", which is what that check is for.
// ZNKCGIUSERID is SameSite=Lax, so a link from an e-mail or another site
// still opens the portal logged in, while cross-site posts and embedded
// requests go without it. Both are HttpOnly (no script of a page needs
// them), and every cookie is Secure when the request came over HTTPS.
//
// The domain attribute comes from the Host header, which the visitor
// writes: only a plain host name is used, without its port, and an address
// literal gets no domain at all (browsers refuse a domain that is an
// address). "localhost" is kept: browsers accept a domain equal to the host.
#include "web/session_cookies.h"

#include "util/datetime.h"
#include "util/guid.h"
#include "util/text.h"

namespace tessaro {
namespace {

struct TPortalCookie {
  std::string_view name;
  std::string_view same_site;
};

constexpr TPortalCookie kPortalCookies[] = {
    {"ZNKSESSIONID", "Strict"},
    {"ZNKCGIUSERID", "Lax"},
};

// The cookie `name`=`value` with the attributes of the variant and of its name.
TCookie MakeCookie(std::string name, std::string value, TCookieVariant variant, const TWebRequest& request,
                         const TWebAppOptions& options) {
  TCookie cookie;
  cookie.Name = std::move(name);
  cookie.Value = std::move(value);
  if (variant == TCookieVariant::Session) {
    cookie.Path = "/";
  } else {
    cookie.Domain = CookieDomain(request.Host());
    cookie.Path = request.ScriptName() + "/";
    cookie.Expires = variant == TCookieVariant::Persistent ? Date() + options.cookie_expires : Date() - 300;
  }
  cookie.Secure = request.CameOverHttps();
  for (const TPortalCookie& portal : kPortalCookies) {
    if (cookie.Name != portal.name) continue;
    cookie.HttpOnly = true;
    cookie.SameSite = portal.same_site;
  }
  return cookie;
}

bool IsHostNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

}  // namespace

std::string CookieDomain(std::string_view host) {
  if (host.empty() || host.front() == '[') return "";
  host = host.substr(0, host.find(':'));
  bool only_digits_and_dots = true;
  for (char c : host) {
    if (!IsHostNameCharacter(c)) return "";
    if (c != '.' && (c < '0' || c > '9')) only_digits_and_dots = false;
  }
  return only_digits_and_dots ? "" : std::string(host);
}

void SendCookies(const TStrings& values, TCookieVariant variant, const TWebRequest& request,
                 const TWebAppOptions& options, TWebResponse& response) {
  for (size_t i = 0; i < values.Count(); ++i)
    response.AddCookie(MakeCookie(values.Names(i), values.ValueFromIndex(i), variant, request, options));
}

void StartNewSession(const TWebRequest& request, tRequestContext& context, const TWebAppOptions& options,
                     TWebResponse& response) {
  std::string id = GUIDToString(CreateGUID());
  response.AddCookie(MakeCookie("ZNKSESSIONID", id, TCookieVariant::Session, request, options));
  context.Cookies().ZNKSESSIONID = id;
}

void SendUserCookie(const std::string& user_id, bool persistent, const TWebRequest& request, tRequestContext& context,
                    const TWebAppOptions& options, TWebResponse& response) {
  const TCookieVariant variant = persistent ? TCookieVariant::Persistent : TCookieVariant::Session;
  response.AddCookie(MakeCookie("ZNKCGIUSERID", user_id, variant, request, options));
  context.Cookies().ZNKCGIUSERID = user_id;
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
