#include "e2e/imported_portal.h"

namespace tessaro::testing {

std::string ProjectOdbcFolder() { return std::string(TESSARO_SOURCE_DIR) + "/scripts/odbc"; }

std::string LoginCookie(const Deployment& site, const std::string& username, const std::string& password) {
  CgiResponse login = site.Post("/CheckLogin", "USRNAME=" + username + "&PSWD=" + password + "&logdest=%2Fmain",
                                "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kPortalTestSession}});
  for (const std::string& cookie : login.Cookies())
    if (cookie.rfind("ZNKCGIUSERID=", 0) == 0) return cookie.substr(0, cookie.find(';'));
  return "";
}

}  // namespace tessaro::testing
