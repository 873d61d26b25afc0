// Sessions, simple pages and the login through the real executable, in a
// portal folder with settings files and templates.
#include <gtest/gtest.h>

#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

// A portal folder with a login form, a confirmation page and one simple page.
class PortalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    d.WriteFile("tessaro0.ini",
                "[OPTIONS]\n"
                "path_to_templates=templates\n"
                "pgLOGIN=login.html\n"
                "pgLOGINeng=login_en.html\n"
                "pgLOGOK=logok.html\n"
                "bad_login=Chybné jméno nebo heslo\n"
                "[BANNERS]\n"
                "tag_hello=<b><#tag_reqip></b>\n"
                "[SIMPLEPAGES]\n"
                "DEFAULT=home.html\n"
                "news=news.html\n"
                "here=here.html\n");
    d.WriteFile("templates/login.html",
                "<form action=\"<#tag_logaction>\" method=post>"
                "<input name=logdest value=\"<#tag_destination>\">"
                "<input name=logqry value=\"<#tag_destquery>\">"
                "<p><#tag_badlogin></p></form>\n");
    d.WriteFile("templates/login_en.html", "English login for <#tag_destination>\n");
    d.WriteFile("templates/logok.html", "Welcome, continue at <#LINK>\n");
    d.WriteFile("templates/home.html", "Home <#tag_hello> <#tag_include file=part.html>\n");
    d.WriteFile("templates/part.html", "part <#tag_current_date format=yyyy>");
    d.WriteFile("templates/news.html", "News for <#tag_param_who>\n");
    d.WriteFile("templates/here.html", "<a href=\"<#tag_currenturl>\">here</a>\n");
  }

  CgiResponse PostLogin(const std::string& body) const {
    return d.Post("/CheckLogin", body, "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
  }

  Deployment d;
};

TEST_F(PortalTest, FirstVisitToASimplePageGetsOneSessionCookie) {
  CgiResponse r = d.Get("/Page");
  EXPECT_EQ(r.status_text, "200 OK");
  ASSERT_EQ(r.Cookies().size(), 1u) << r.raw;
  EXPECT_EQ(r.Cookies()[0].rfind("ZNKSESSIONID=%7b", 0), 0u);
  EXPECT_TRUE(r.Cookies()[0].ends_with("%7d; path=/; HttpOnly; SameSite=Strict")) << r.Cookies()[0];
  // Banners, includes and dates of the default page.
  EXPECT_EQ(r.body.substr(0, 25), "Home <b>127.0.0.1</b> par") << r.body;
  // The included lines end with CR LF; the template's own text is copied as it is.
  EXPECT_EQ(r.body.size(), std::string("Home <b>127.0.0.1</b> part 2026\r\n\n").size()) << r.body;
}

TEST_F(PortalTest, SimplePagesByIdEscapeRequestValues) {
  CgiResponse r = d.Get("/Page", "ID=news&who=%3Cscript%3E", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(r.body, "News for &lt;script&gt;\n");
  EXPECT_TRUE(r.Cookies().empty());
}

TEST_F(PortalTest, ProtectedPathShowsTheLoginFormWithItsDestination) {
  CgiResponse r = d.Get("/zntest", "a=1&logout=&b=2", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(r.status_text, "200 OK");
  EXPECT_NE(r.body.find("action=\"http://localhost/tessaro.cgi/CheckLogin\""), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("name=logdest value=\"/zntest\""), std::string::npos);
  EXPECT_NE(r.body.find("name=logqry value=\"a=1&amp;b=2\""), std::string::npos);
  CgiResponse english = d.Get("/zntest2", "lang=eng", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(english.body, "English login for /zntest2\n");
}

// The login check answers GET too, so a link alone can carry these values.
TEST_F(PortalTest, DestinationsInALinkToTheLoginCheckStayText) {
  const struct {
    const char* query;
    const char* logdest_value;
    const char* logqry_value;
  } cases[] = {
      {"logdest=%2Fx%22%3E%3Cscript%3Ealert(1)%3C%2Fscript%3E&logqry=%22%3E%3Cscript%3E",
       "/x&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;", "&quot;&gt;&lt;script&gt;"},
      // Not a path of this portal: the form drops it.
      {"logdest=%22%3E%3Cscript%3Ealert(1)%3C%2Fscript%3E", "", ""},
      {"logdest=javascript:alert(1)&logqry=%27onmouseover%3D%27x", "", "&#39;onmouseover=&#39;x"},
  };
  for (const auto& c : cases) {
    CgiResponse r = d.Get("/CheckLogin", c.query, {{"HTTP_COOKIE", kSession}});
    EXPECT_EQ(r.body.find("<script"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find("name=logdest value=\"" + std::string(c.logdest_value) + "\""), std::string::npos)
        << c.query << "\n"
        << r.body;
    EXPECT_NE(r.body.find("name=logqry value=\"" + std::string(c.logqry_value) + "\""), std::string::npos)
        << c.query << "\n"
        << r.body;
  }
  // A successful login with such a query writes the confirmation link escaped.
  CgiResponse ok = PostLogin("USRNAME=quokka&PSWD=pelican&logdest=%2Fzntest2&logqry=%22%3E%3Cscript%3E");
  EXPECT_NE(ok.body.find("<a href=\"http://localhost/tessaro.cgi/zntest2?&quot;&gt;&lt;script&gt;\">"),
            std::string::npos)
      << ok.body;
}

// The destination's query travels through the hidden field as the browser
// reads it back ("a=1&b=2") and leads to the same address after the login.
TEST_F(PortalTest, TheDestinationQueryRoundTripsThroughTheLoginForm) {
  CgiResponse form = d.Get("/zntest2", "a=1&b=2", {{"HTTP_COOKIE", kSession}});
  EXPECT_NE(form.body.find("name=logdest value=\"/zntest2\""), std::string::npos) << form.body;
  EXPECT_NE(form.body.find("name=logqry value=\"a=1&amp;b=2\""), std::string::npos) << form.body;
  // What a browser posts for those two fields.
  CgiResponse ok = PostLogin("USRNAME=quokka&PSWD=pelican&logdest=%2Fzntest2&logqry=a%3D1%26b%3D2");
  EXPECT_NE(ok.body.find("<a href=\"http://localhost/tessaro.cgi/zntest2?a=1&amp;b=2\">"), std::string::npos)
      << ok.body;
}

TEST_F(PortalTest, TheCurrentAddressIsEscaped) {
  // A client may send the query unencoded.
  CgiResponse r = d.Get("/Page", "ID=here&q=\"><x", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(r.body, "<a href=\"http://localhost/tessaro.cgi/Page?ID=here&amp;q=&quot;&gt;&lt;x\">here</a>\n");
}

TEST_F(PortalTest, ErrorPagesShowTemplatePathsRelativeToThePortal) {
  std::remove((d.Dir() + "/templates/login_en.html").c_str());
  CgiResponse r = d.Get("/zntest", "lang=eng", {{"HTTP_COOKIE", kSession}});
  EXPECT_NE(r.body.find("Cannot open file &quot;templates/login_en.html&quot;"), std::string::npos) << r.body;
  EXPECT_EQ(r.body.find(d.Dir()), std::string::npos) << r.body;
}

TEST_F(PortalTest, TestLoginToTheSecondTestPageGivesTheBuiltInConfirmation) {
  CgiResponse r = PostLogin("USRNAME=quokka&PSWD=pelican&logdest=%2Fzntest2&logqry=x%3D1");
  ASSERT_EQ(r.Cookies().size(), 1u) << r.raw;
  EXPECT_EQ(r.Cookies()[0], "ZNKCGIUSERID=TEST; path=/; HttpOnly; SameSite=Lax");
  EXPECT_EQ(r.body,
            "<HTML><HEAD><TITLE>Prihlaseni OK</TITLE></HEAD><BODY>Prihlaseni probehlo OK. Pokracujte kliknutim "
            "<a href=\"http://localhost/tessaro.cgi/zntest2?x=1\">zde</a></BODY></HTML>\r\n");
  // With the cookie the test page opens.
  CgiResponse page = d.Get("/zntest2", "", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=TEST"}});
  EXPECT_NE(page.body.find("<P>Neplatn\xfd po\x9e"
                           "adavek"),
            std::string::npos)
      << page.body;
}

TEST_F(PortalTest, TestLoginWithAPersistentCookieAndTheConfiguredConfirmation) {
  CgiResponse r = PostLogin("USRNAME=quokka&PSWD=pelican&logdest=%2Fzntest&storecookies=1");
  ASSERT_EQ(r.Cookies().size(), 1u) << r.raw;
  EXPECT_EQ(r.Cookies()[0].rfind("ZNKCGIUSERID=TEST; domain=localhost; path=/tessaro.cgi/; expires=", 0), 0u)
      << r.Cookies()[0];
  EXPECT_TRUE(r.Cookies()[0].ends_with(" 00:00:00 GMT; HttpOnly; SameSite=Lax")) << r.Cookies()[0];
  EXPECT_EQ(r.body, "Welcome, continue at http://localhost/tessaro.cgi/zntest\n");
}

TEST_F(PortalTest, WrongCredentialsOrDestinationShowTheFormAgain) {
  for (const char* body :
       {"USRNAME=quokka&PSWD=pelican&logdest=%2Fmain", "USRNAME=Quokka&PSWD=pelican&logdest=%2Fzntest",
        "USRNAME=quokka&PSWD=x&logdest=%2Fzntest"}) {
    CgiResponse r = PostLogin(body);
    EXPECT_TRUE(r.Cookies().empty()) << body;
    EXPECT_NE(r.body.find("<p>Chybn"), std::string::npos) << body << r.body;
  }
  CgiResponse quiet = PostLogin("USRNAME=x&PSWD=y&logdest=%2Fzntest&quiet=1");
  EXPECT_NE(quiet.body.find("<p></p>"), std::string::npos) << quiet.body;
}

TEST_F(PortalTest, LogoutSendsEachCookieTwiceAndShowsTheLoginForm) {
  CgiResponse r = d.Get("/zntest", "logout=1", {{"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=TEST"}});
  auto cookies = r.Cookies();
  ASSERT_EQ(cookies.size(), 4u) << r.raw;
  EXPECT_EQ(cookies[0], "ZNKSESSIONID=logged_out; path=/; HttpOnly; SameSite=Strict");
  EXPECT_EQ(cookies[1], "ZNKCGIUSERID=logged_out; path=/; HttpOnly; SameSite=Lax");
  EXPECT_EQ(cookies[2].rfind("ZNKSESSIONID=logged_out; domain=localhost; path=/tessaro.cgi/; expires=", 0), 0u);
  EXPECT_EQ(cookies[3].rfind("ZNKCGIUSERID=logged_out; domain=localhost; path=/tessaro.cgi/; expires=", 0), 0u);
  EXPECT_NE(r.body.find("name=logdest value=\"/zntest\""), std::string::npos) << r.body;
}

TEST_F(PortalTest, CalendarWithoutSessionIsACrossLink) {
  CgiResponse r = d.Get("/Cal");
  EXPECT_NE(r.body.find("Cross link not allowed"), std::string::npos) << r.body;
  EXPECT_TRUE(r.Cookies().empty());
}

TEST(PortalSettings, MissingDefaultsFileGivesTheErrorPage) {
  Deployment d;
  std::remove((d.Dir() + "/tessaro0.ini").c_str());
  CgiResponse r = d.Get("/Page");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.body.find("Cannot open file"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("tessaro0.ini"), std::string::npos) << r.body;
  EXPECT_EQ(r.body.find(d.Dir()), std::string::npos) << r.body;  // no server paths on pages
}

}  // namespace
}  // namespace tessaro::testing
