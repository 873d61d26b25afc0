// The contexts of the login form and its confirmation page. The form posts
// the visitor's user name and password together with the page the visitor
// wanted (logdest, logqry), so that a successful login leads straight there.
#pragma once

#include "context/request_context.h"

namespace tessaro {

// Whether `path` is a path on this server ("/main"): it starts with a single
// "/" (not "//" or "/\", which browsers read as another host) and holds no
// control characters. Anything else could make a link leave the portal or run
// script ("javascript:...") where the base address is empty.
bool IsLocalPath(std::string_view path);

class TLoginContext : public TPublished<TLoginContext, tRequestContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TLoginContext>& p);
  using TPublished::TPublished;

  std::string logdest;       // destination path: the page the visitor wanted
  std::string logqry;        // destination query
  std::string PSWD;          // password typed by the visitor
  std::string quiet;         // non-empty: no bad-login text
  std::string storecookies;  // non-empty: a persistent user cookie
  std::string USRNAME;       // user name typed by the visitor
  bool BadLogin = false;     // set after a failed attempt

  // The destination becomes the requested path and its query without the
  // system fields (for a login form shown in place of that page).
  void TakeDestinationFrom(const TWebRequest& request);
  // logdest when it is a path on this portal (IsLocalPath), else empty.
  std::string Destination() const;

 protected:
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;
};

// The portal's login context: adds the notice board of the login page.
class TTessaroLoginContext : public TPublished<TTessaroLoginContext, TLoginContext> {
 public:
  static void DeclareProperties(TPropertyDeclarations<TTessaroLoginContext>&) {}
  using TPublished::TPublished;

 protected:
  void HTMLTag(TCustomPageProducer& sender, TTag kind, const std::string& tagName, const TStrings& params,
               std::string& replaceText) override;
};

}  // namespace tessaro
