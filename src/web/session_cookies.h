// The two cookies that link one request of a visitor to the next:
// ZNKSESSIONID (a session identifier created on the first visit) and
// ZNKCGIUSERID (the logged-in visitor). There is no server-side session
// store; these helpers create, send and clear them.
#pragma once

#include <string>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/request_context.h"
#include "settings/web_app_options.h"

namespace tessaro {

// The attribute sets a portal cookie is sent with.
enum class TCookieVariant {
  Session,     // no domain, path "/", no expiry
  Persistent,  // the request's host and script path, expires cookie_expires days from today
  Expired,     // the request's host and script path, expired 300 days ago
};

// Sends every name=value entry of `values` with the attributes of `variant`.
// Every cookie is Secure when the request came over HTTPS; the portal's own
// two are also HttpOnly, ZNKSESSIONID with SameSite=Strict and ZNKCGIUSERID
// with SameSite=Lax (see kPortalCookies in the source).
void SendCookies(const TStrings& values, TCookieVariant variant, const TWebRequest& request,
                 const TWebAppOptions& options, TWebResponse& response);

// Creates a new session identifier, sends it as ZNKSESSIONID and stores it in
// the context's cookies so this request's page sees it already. Throws
// Exception "CreateGUID failed" when no identifier can be made.
void StartNewSession(const TWebRequest& request, tRequestContext& context, const TWebAppOptions& options,
                     TWebResponse& response);

// Logs the visitor in from here on: stores `user_id` as ZNKCGIUSERID in the
// context's cookies and sends it, persistent when asked, else for the
// browser session. The login form and the login bridge both end here.
void SendUserCookie(const std::string& user_id, bool persistent, const TWebRequest& request, tRequestContext& context,
                    const TWebAppOptions& options, TWebResponse& response);

// Sends every cookie the browser sent with the value "logged_out", once as a
// session cookie and once expired, and clears the context's identifiers.
void SendLogoutCookies(TWebRequest& request, tRequestContext& context, const TWebAppOptions& options,
                       TWebResponse& response);

// The domain attribute for the request's Host: the host name without a port;
// empty (no attribute: the cookie stays with the exact host) for an IPv4 or
// bracketed IPv6 literal and for anything that is not a plain host name.
std::string CookieDomain(std::string_view host);

}  // namespace tessaro
