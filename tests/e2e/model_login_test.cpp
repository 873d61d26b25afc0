// The portal reads its accounts from the definition and user files on every
// request: a deployment folder made by tessaro-admin import lets its
// accounts log in through the real CGI program.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

class ImportedPortal : public ::testing::Test {
 protected:
  void SetUp() override {
    d.WriteFile("tessaro0.ini",
                "[OPTIONS]\n"
                "path_to_templates=templates\n"
                "pgLOGIN=login.html\n"
                "pgLOGOK=logok.html\n"
                "bad_login=Wrong name or password\n");
    d.WriteFile("templates/login.html", "LOGIN FORM <#tag_badlogin>\n");
    d.WriteFile("templates/logok.html", "Welcome, continue at <#LINK>\n");
    d.WriteFile("portal.xml", SamplePortalXml());
    AdminResult imported = RunAdmin({"import", "portal.xml", "."}, d.Dir());
    ASSERT_EQ(imported.exit_code, 0) << imported.err;
  }

  CgiResponse Login(const std::string& username, const std::string& password) const {
    return d.Post("/CheckLogin", "USRNAME=" + username + "&PSWD=" + password + "&logdest=%2Fmain",
                  "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
  }

  // The value of the user cookie a response sets, or empty.
  static std::string UserCookie(const CgiResponse& response) {
    for (const std::string& cookie : response.Cookies())
      if (cookie.rfind("ZNKCGIUSERID=", 0) == 0) return cookie.substr(13, cookie.find(';') - 13);
    return "";
  }

  Deployment d;
};

TEST_F(ImportedPortal, TheAccountsLogInAndPassTheGate) {
  // A password with a letter outside ASCII arrives as UTF-8 and matches the
  // windows-1250 text of the file.
  for (const auto& [username, password] : {std::pair{"jan", "heslo"}, std::pair{"eva", "tajn%C3%A9"}}) {
    CgiResponse login = Login(username, password);
    const std::string user_id = UserCookie(login);
    ASSERT_EQ(user_id.size(), 32u) << login.raw;
    EXPECT_NE(login.body.find("Welcome"), std::string::npos) << login.body;
    CgiResponse main = d.Get("/main", "", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=" + user_id}});
    EXPECT_EQ(main.body.find("LOGIN FORM"), std::string::npos) << main.body;
  }
}

TEST_F(ImportedPortal, WrongCredentialsAndUnknownIdentifiersMeetTheLoginForm) {
  for (const auto& [username, password] : {std::pair{"jan", "HESLO"}, std::pair{"Jan", "heslo"}, std::pair{"", ""}}) {
    CgiResponse login = Login(username, password);
    EXPECT_EQ(UserCookie(login), "") << username;
    EXPECT_NE(login.body.find("LOGIN FORM Wrong name or password"), std::string::npos) << login.body;
  }
  // A well-formed identifier of an account that is not in the file.
  const std::string stranger(32, 'A');
  CgiResponse main = d.Get("/main", "", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=" + stranger}});
  EXPECT_NE(main.body.find("LOGIN FORM"), std::string::npos) << main.body;
}

TEST_F(ImportedPortal, AnAccountRemovedFromTheUserFileIsLoggedOutAtTheNextRequest) {
  const std::string user_id = UserCookie(Login("jan", "heslo"));
  ASSERT_EQ(user_id.size(), 32u);
  std::filesystem::remove(d.Dir() + "/user.idt");
  CgiResponse main = d.Get("/main", "", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=" + user_id}});
  EXPECT_NE(main.body.find("LOGIN FORM"), std::string::npos) << main.body;
}

TEST_F(ImportedPortal, ADamagedDefinitionFileGivesItsMessageOnTheErrorPage) {
  d.WriteFile("qmxdef.idt", "not a definition file at all");
  CgiResponse login = Login("jan", "heslo");
  EXPECT_EQ(UserCookie(login), "");
  EXPECT_EQ(login.status_text, "500 Internal Server Error");
  EXPECT_NE(login.body.find("Neplatn"), std::string::npos) << login.raw;
}

}  // namespace
}  // namespace tessaro::testing
