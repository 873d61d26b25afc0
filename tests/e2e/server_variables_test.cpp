// What the program makes of the variables the web servers differ in: a body
// passed on without its length, and a request that came over HTTPS.
#include <gtest/gtest.h>

#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
// "Požadavek neudává délku" as the page's windows-1250 bytes.
const std::string kLengthRequired =
    "Po\x9e"
    "adavek neud\xe1v\xe1 d\xe9lku";

// A server that passes a chunked body unbuffered sets no CONTENT_LENGTH; the
// program cannot know where the body ends and says so instead of reading
// nothing and failing the login silently.
TEST(ServerVariables, ABodyWithoutItsLengthIsRefusedWith411) {
  Deployment d;
  const std::string body = "USRNAME=quokka&PSWD=pelican&logdest=%2Fzntest";
  const struct {
    const char* method;
    const char* transfer_encoding;
  } cases[] = {{"POST", "chunked"}, {"POST", ""}, {"PUT", ""}, {"GET", "chunked"}};
  for (const auto& c : cases) {
    CgiResponse r = d.Run({{"SERVER_PROTOCOL", "HTTP/1.1"},
                           {"REQUEST_METHOD", c.method},
                           {"PATH_INFO", "/CheckLogin"},
                           {"SCRIPT_NAME", "/tessaro.cgi"},
                           {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                           {"HTTP_TRANSFER_ENCODING", c.transfer_encoding},
                           {"HTTP_COOKIE", kSession}},
                          body);
    std::string what = std::string(c.method) + " " + c.transfer_encoding;
    EXPECT_EQ(r.exit_code, 0) << what;
    EXPECT_EQ(r.status_text, "411 Length Required") << what << "\n" << r.raw;
    EXPECT_NE(r.body.find(kLengthRequired), std::string::npos) << what << "\n" << r.body;
    EXPECT_TRUE(r.Cookies().empty()) << what << "\n" << r.raw;
  }
  // A server that buffered the chunked body gives its length: the login works.
  CgiResponse buffered = d.Post("/CheckLogin", body, "application/x-www-form-urlencoded",
                                {{"HTTP_COOKIE", kSession}, {"HTTP_TRANSFER_ENCODING", "chunked"}});
  ASSERT_EQ(buffered.Cookies().size(), 1u) << buffered.raw;
  EXPECT_EQ(buffered.Cookies()[0].rfind("ZNKCGIUSERID=TEST;", 0), 0u) << buffered.Cookies()[0];
  // An empty body announced as such is no body of unknown length.
  CgiResponse empty = d.Post("/unknown", "", "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(empty.status_text, "200 OK") << empty.raw;
}

// The scheme and port of the portal's absolute addresses, as the current
// address of a simple page shows them.
TEST(ServerVariables, AbsoluteAddressesFollowTheSchemeOfTheRequest) {
  Deployment d;
  d.WriteFile("templates/here.html", "<#tag_currenturl>");
  const struct {
    const char* options;  // [OPTIONS] lines besides the templates
    const char* https;
    const char* port;
    const char* host;
    const char* address;
  } cases[] = {
      {"", "", "80", "portal.test", "http://portal.test/tessaro.cgi/Page?ID=here"},
      {"", "", "8080", "portal.test", "http://portal.test:8080/tessaro.cgi/Page?ID=here"},
      {"", "", "8080", "portal.test:8080", "http://portal.test:8080/tessaro.cgi/Page?ID=here"},
      // With no HTTPS port set, a request over HTTPS is on the HTTPS port.
      {"", "on", "443", "portal.test", "https://portal.test/tessaro.cgi/Page?ID=here"},
      {"", "on", "8443", "portal.test", "https://portal.test:8443/tessaro.cgi/Page?ID=here"},
      {"", "on", "8443", "portal.test:8443", "https://portal.test:8443/tessaro.cgi/Page?ID=here"},
      {"", "off", "8080", "portal.test", "http://portal.test:8080/tessaro.cgi/Page?ID=here"},
      // A configured HTTPS port decides alone.
      {"SSLPort=8443\n", "on", "8443", "portal.test", "https://portal.test:8443/tessaro.cgi/Page?ID=here"},
      {"SSLPort=8443\n", "", "8443", "portal.test", "https://portal.test:8443/tessaro.cgi/Page?ID=here"},
      // A fixed base address wins over everything the request says.
      {"script_base_url=https://portal.example/app\n", "", "8080", "proxy.local:8080",
       "https://portal.example/app/Page?ID=here"},
  };
  for (const auto& c : cases) {
    d.WriteFile("tessaro0.ini", std::string("[OPTIONS]\npath_to_templates=templates\n") + c.options +
                                    "[SIMPLEPAGES]\nhere=here.html\n");
    CgiResponse r =
        d.Get("/Page", "ID=here",
              {{"HTTP_COOKIE", kSession}, {"HTTPS", c.https}, {"SERVER_PORT", c.port}, {"HTTP_HOST", c.host}});
    EXPECT_EQ(r.body, c.address) << c.options << " HTTPS=" << c.https << " port " << c.port << " host " << c.host;
  }
}

}  // namespace
}  // namespace tessaro::testing
