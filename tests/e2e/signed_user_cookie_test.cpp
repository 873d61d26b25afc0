// With user_cookie_key set the user cookie is signed, expires, and stops
// working when the account's password changes; unsigned, altered or expired
// values meet the login form. Through the real executable and the files
// tessaro-admin writes.
#include <gtest/gtest.h>

#include <ctime>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"
#include "util/crypto.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
const std::string kKeyHex = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";

class SignedCookiePortal : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteOptions("user_cookie_key=" + kKeyHex + "\n");
    d.WriteFile("templates/login.html", "LOGIN FORM <#tag_badlogin>\n");
    d.WriteFile("templates/logok.html", "Welcome\n");
    Import(SamplePortalXml());
  }
  void WriteOptions(const std::string& extra) {
    d.WriteFile("tessaro0.ini",
                "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                "bad_login=Wrong name or password\n" + extra);
  }
  void Import(const std::string& xml) {
    d.WriteFile("portal.xml", xml);
    AdminResult imported = RunAdmin({"import", "portal.xml", "."}, d.Dir());
    ASSERT_EQ(imported.exit_code, 0) << imported.err;
  }

  // The user cookie a login sets, or empty.
  std::string Login(const std::string& password, const std::string& extra = "") const {
    CgiResponse r = d.Post("/CheckLogin", "USRNAME=jan&PSWD=" + password + "&logdest=%2Fmain" + extra,
                           "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
    for (const std::string& cookie : r.Cookies())
      if (cookie.rfind("ZNKCGIUSERID=", 0) == 0) return cookie.substr(13, cookie.find(';') - 13);
    return "";
  }
  bool OpensMain(const std::string& user_cookie) const {
    CgiResponse r = d.Get("/main", "", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=" + user_cookie}});
    return r.body.find("LOGIN FORM") == std::string::npos;
  }
  // A value signed as the portal signs it, for any expiry.
  static std::string Signed(const std::string& encoded_id, int64_t expiry, const std::string& password) {
    const std::string head = "v1." + encoded_id + "." + std::to_string(expiry) + ".";
    return head + HexText(HmacSha256(*HexBytes(kKeyHex), head + Sha256(password)));
  }
  static std::vector<std::string> Parts(const std::string& value) {
    std::vector<std::string> parts(1);
    for (char c : value) {
      if (c == '.')
        parts.emplace_back();
      else
        parts.back() += c;
    }
    return parts;
  }

  Deployment d;
};

TEST_F(SignedCookiePortal, LoginIssuesASignedCookieThatExpires) {
  const std::string value = Login("heslo");
  const std::vector<std::string> parts = Parts(value);
  ASSERT_EQ(parts.size(), 4u) << value;
  EXPECT_EQ(parts[0], "v1");
  EXPECT_EQ(parts[1].size(), 32u);
  EXPECT_EQ(parts[3].size(), 64u);
  const int64_t now = std::time(nullptr);
  EXPECT_NEAR(std::stoll(parts[2]), now + 12 * 3600, 60);
  EXPECT_TRUE(OpensMain(value));
  // "Remember me" lives until the cookie's own expiry, cookie_expires (1) days on at midnight.
  const int64_t remembered = std::stoll(Parts(Login("heslo", "&storecookies=1"))[2]);
  EXPECT_GT(remembered, now);
  EXPECT_LE(remembered, now + 2 * 86400);
  EXPECT_EQ(remembered % 86400, 0);

  EXPECT_TRUE(OpensMain(Signed(parts[1], now + 100, "heslo")));
  EXPECT_FALSE(OpensMain(Signed(parts[1], now - 1, "heslo")));
}

TEST_F(SignedCookiePortal, UnsignedOrAlteredValuesAreRefused) {
  const std::string value = Login("heslo");
  const std::vector<std::string> parts = Parts(value);
  ASSERT_EQ(parts.size(), 4u) << value;
  std::string altered_mac = value;
  altered_mac.back() = altered_mac.back() == '0' ? '1' : '0';
  const std::string later = "v1." + parts[1] + "." + std::to_string(std::stoll(parts[2]) + 1) + "." + parts[3];
  for (const std::string& refused : {parts[1], altered_mac, later, std::string("TEST")})
    EXPECT_FALSE(OpensMain(refused)) << refused;
}

TEST_F(SignedCookiePortal, APasswordChangeRevokesEveryIssuedCookie) {
  const std::string value = Login("heslo");
  ASSERT_TRUE(OpensMain(value));
  std::string xml = SamplePortalXml();
  xml.replace(xml.find("<Password>heslo</Password>"), 26, "<Password>nove</Password>");
  Import(xml);
  EXPECT_FALSE(OpensMain(value));
  EXPECT_TRUE(OpensMain(Login("nove")));
}

TEST_F(SignedCookiePortal, TheAdminToolMakesFreshKeysThePortalTakes) {
  const AdminResult first = RunAdmin({"new-key"}, d.Dir()), second = RunAdmin({"new-key"}, d.Dir());
  ASSERT_EQ(first.exit_code, 0) << first.err;
  ASSERT_EQ(first.out.size(), 65u) << first.out;
  EXPECT_TRUE(HexBytes(first.out.substr(0, 64)).has_value()) << first.out;
  EXPECT_NE(first.out, second.out);
  WriteOptions("user_cookie_key=" + first.out);
  const std::string value = Login("heslo");
  EXPECT_EQ(value.substr(0, 3), "v1.") << value;
  EXPECT_TRUE(OpensMain(value));
  EXPECT_EQ(RunAdmin({"new-key", "32"}, d.Dir()).exit_code, 2);
}

TEST_F(SignedCookiePortal, AKeyTooShortToBeSafeStopsWithItsName) {
  WriteOptions("user_cookie_key=abc\n");
  CgiResponse r = d.Get("/main", "", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=x"}});
  EXPECT_NE(r.body.find("user_cookie_key"), std::string::npos) << r.body;
}

}  // namespace
}  // namespace tessaro::testing
