// Password guessing against the real executable: failed logins are counted
// across processes running at the same time, and past ten the name and the
// address are refused, even with the right password, with the very page a
// wrong password gets.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

class LoginLimit : public ::testing::Test {
 protected:
  void SetUp() override {
    d.WriteFile("tessaro0.ini",
                "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                "bad_login=Wrong name or password\n");
    d.WriteFile("templates/login.html", "LOGIN FORM <#tag_badlogin>\n");
    d.WriteFile("templates/logok.html", "Welcome\n");
    d.WriteFile("portal.xml", SamplePortalXml());
    AdminResult imported = RunAdmin({"import", "portal.xml", "."}, d.Dir());
    ASSERT_EQ(imported.exit_code, 0) << imported.err;
  }
  CgiResponse Login(const std::string& username, const std::string& password, const std::string& addr) const {
    return d.Post("/CheckLogin", "USRNAME=" + username + "&PSWD=" + password + "&logdest=%2Fmain",
                  "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}, {"REMOTE_ADDR", addr}});
  }
  static bool LoggedIn(const CgiResponse& r) { return !r.Cookies().empty() && r.body == "Welcome\n"; }

  Deployment d;
};

TEST_F(LoginLimit, ParallelGuessesCloseTheNameAndTheAddress) {
  std::vector<CgiResponse> answers(40);
  std::vector<std::thread> guessers;
  for (int p = 0; p < 8; ++p)
    guessers.emplace_back([&, p] {
      for (int i = 0; i < 5; ++i) answers[p * 5 + i] = Login("jan", "guess" + std::to_string(i), "192.0.2.7");
    });
  for (std::thread& guesser : guessers) guesser.join();
  for (const CgiResponse& r : answers) {
    EXPECT_TRUE(r.Cookies().empty());
    EXPECT_EQ(r.body, "LOGIN FORM Wrong name or password\n");
  }
  const CgiResponse wrong = answers.front();
  // The right password no longer helps: not for the name from elsewhere,
  // not for another name from the guessing address. The refusal reads
  // exactly like a wrong password.
  for (const auto& [username, password, addr] : {std::tuple{"jan", "heslo", "192.0.2.7"},
                                                  std::tuple{"jan", "heslo", "198.51.100.1"},
                                                  std::tuple{"eva", "tajn%C3%A9", "192.0.2.7"}}) {
    CgiResponse r = Login(username, password, addr);
    EXPECT_FALSE(LoggedIn(r)) << username << " " << addr;
    EXPECT_EQ(r.raw, wrong.raw) << username << " " << addr;
  }
  EXPECT_TRUE(LoggedIn(Login("eva", "tajn%C3%A9", "198.51.100.2")));
  EXPECT_TRUE(std::filesystem::is_regular_file(d.Dir() + "/qmxdata/loginfail.dat"));
}

TEST_F(LoginLimit, NineWrongGuessesStillLetTheRightPasswordIn) {
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(LoggedIn(Login("jan", "guess", "192.0.2.8")));
  EXPECT_TRUE(LoggedIn(Login("jan", "heslo", "192.0.2.8")));
}

TEST_F(LoginLimit, AnUnusableDataFolderLeavesLoginsUnlimitedAndSaysSo) {
  d.WriteFile("qmxdata", "a file where the folder should be");
  for (int i = 0; i < 11; ++i) Login("jan", "guess", "192.0.2.9");
  CgiResponse r = Login("jan", "heslo", "192.0.2.9");
  EXPECT_TRUE(LoggedIn(r));
  EXPECT_NE(r.stderr_text.find("failed logins are not limited"), std::string::npos) << r.stderr_text;
}

}  // namespace
}  // namespace tessaro::testing
