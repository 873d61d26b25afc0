// The attributes the portal's cookies travel with, as a browser receives
// them from the real executable: the domain taken from the Host header, the
// Secure flag over HTTPS, HttpOnly and SameSite.
#include <gtest/gtest.h>

#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

// The attributes of the one cookie of `r`, after its value.
std::string Attributes(const CgiResponse& r) {
  if (r.Cookies().size() != 1) return "cookies: " + std::to_string(r.Cookies().size()) + "\n" + r.raw;
  const std::string cookie = r.Cookies()[0];
  std::string attributes = cookie.substr(cookie.find(';') + 2);
  // The expiry date changes from day to day; its presence is enough here.
  const size_t expires = attributes.find("expires=");
  if (expires != std::string::npos) attributes.replace(expires, attributes.find(';', expires) - expires, "expires=*");
  return attributes;
}

TEST(CookieAttributes, PersistentLoginCookieFollowsHostAndScheme) {
  Deployment d;
  const struct {
    std::map<std::string, std::string> env;
    std::string attributes;
  } cases[] = {
      {{{"HTTP_HOST", "portal.example"}}, "domain=portal.example; path=/tessaro.cgi/; expires=*; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "Portal.Example:8443"}, {"HTTPS", "on"}},
       "domain=Portal.Example; path=/tessaro.cgi/; expires=*; secure; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "portal.example"}, {"HTTPS", "off"}},
       "domain=portal.example; path=/tessaro.cgi/; expires=*; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "portal.example"}, {"SERVER_PORT", "443"}},
       "domain=portal.example; path=/tessaro.cgi/; expires=*; secure; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "portal.example"}, {"REQUEST_SCHEME", "https"}},
       "domain=portal.example; path=/tessaro.cgi/; expires=*; secure; HttpOnly; SameSite=Lax"},
      // Address literals and anything that is not a host name get no domain.
      {{{"HTTP_HOST", "192.168.1.10:8080"}}, "path=/tessaro.cgi/; expires=*; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "[::1]:8080"}}, "path=/tessaro.cgi/; expires=*; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "portal.example,evil.example"}}, "path=/tessaro.cgi/; expires=*; HttpOnly; SameSite=Lax"},
      {{{"HTTP_HOST", "localhost:8080"}}, "domain=localhost; path=/tessaro.cgi/; expires=*; HttpOnly; SameSite=Lax"},
  };
  for (const auto& c : cases) {
    auto env = c.env;
    env["HTTP_COOKIE"] = kSession;
    CgiResponse r = d.Post("/CheckLogin", "USRNAME=quokka&PSWD=pelican&logdest=%2Fzntest2&storecookies=1",
                           "application/x-www-form-urlencoded", env);
    EXPECT_EQ(Attributes(r), c.attributes) << c.env.begin()->second;
  }
}

TEST(CookieAttributes, SessionCookieIsStrictAndSecureOverHttps) {
  Deployment d;
  EXPECT_EQ(Attributes(d.Get("/Page", "", {{"HTTPS", "on"}})), "path=/; secure; HttpOnly; SameSite=Strict");
  // A browser leaves the Strict session cookie out of a request another site
  // starts; a session-bound path then refuses it without issuing a new one.
  CgiResponse cross = d.Get("/Cal", "", {{"HTTP_COOKIE", "ZNKCGIUSERID=TEST"}});
  EXPECT_NE(cross.body.find("Cross link not allowed"), std::string::npos) << cross.body;
  EXPECT_TRUE(cross.Cookies().empty());
}

}  // namespace
}  // namespace tessaro::testing
