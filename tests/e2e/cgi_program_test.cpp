// The real executable, run as a web server runs it.
#include <gtest/gtest.h>

#include "e2e/cgi_runner.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
// "Neplatný vstupní bod" as the page's windows-1250 bytes.
const std::string kInvalidEntryPoint = "Neplatn\xfd vstupn\xed bod";

TEST(CgiProgram, UnknownPathAndWrongMethodGiveTheInvalidEntryPointPage) {
  Deployment d;
  for (auto r : {d.Get("/unknown"), d.Get("/Register")}) {
    EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
    EXPECT_EQ(r.status_text, "200 OK");
    EXPECT_NE(r.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find(kInvalidEntryPoint), std::string::npos);
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
    ASSERT_EQ(r.Cookies().size(), 1u);
    EXPECT_EQ(r.Cookies()[0].rfind("ZNKSESSIONID=%7b", 0), 0u);
  }
}

TEST(CgiProgram, ReadsTheBodyOnlyUpToContentLength) {
  Deployment d;
  // The body is longer than announced and the server keeps the pipe open
  // long enough: the program must neither hang nor read past the length.
  auto r = d.Run({{"SERVER_PROTOCOL", "HTTP/1.1"},
                  {"REQUEST_METHOD", "POST"},
                  {"PATH_INFO", "/nowhere"},
                  {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                  {"CONTENT_LENGTH", "3"},
                  {"HTTP_TRANSFER_ENCODING", "chunked"},
                  {"HTTP_COOKIE", kSession}},
                 "a=1&b=2&c=3");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.body.find(kInvalidEntryPoint), std::string::npos);
}

TEST(CgiProgram, MalformedContentLengthsAreHandled) {
  Deployment d;
  for (const char* length : {"-5", "abc", "99999999999999999999", "100"}) {
    auto r = d.Run({{"SERVER_PROTOCOL", "HTTP/1.1"},
                    {"REQUEST_METHOD", "POST"},
                    {"PATH_INFO", "/Rem"},
                    {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                    {"CONTENT_LENGTH", length},
                    {"HTTP_COOKIE", kSession}},
                   "a=1");
    EXPECT_EQ(r.exit_code, 0) << length;
    EXPECT_EQ(r.status / 100, r.status >= 500 ? 5 : 2) << length;
    EXPECT_FALSE(r.body.empty()) << length;
  }
}

// A client's "Path-Info:" or "Query-String:" header arrives as HTTP_PATH_INFO
// or HTTP_QUERY_STRING; with the server's own variables empty it must not
// choose the action or the request's fields.
TEST(CgiProgram, ClientHeadersNeverStandInForServerVariables) {
  Deployment d;
  auto path = d.Run({{"REQUEST_METHOD", "GET"},
                     {"PATH_INFO", ""},
                     {"HTTP_PATH_INFO", "/Page"},
                     {"HTTP_COOKIE", kSession}});
  EXPECT_NE(path.body.find(kInvalidEntryPoint), std::string::npos) << path.body;
  auto query = d.Run({{"REQUEST_METHOD", "GET"},
                      {"PATH_INFO", "/nowhere"},
                      {"QUERY_STRING", ""},
                      {"HTTP_QUERY_STRING", "lang=eng"},
                      {"HTTP_COOKIE", kSession}});
  EXPECT_NE(query.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << query.body;
}

TEST(CgiProgram, ALocationWithALineBreakNeverSplitsTheHeader) {
  Deployment d;
  auto r = d.Get("/x%0d%0aSet-Cookie:%20evil=1", "", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(r.raw.find("\r\nSet-Cookie: evil"), std::string::npos);
  auto host = d.Get("/x", "logout=1", {{"HTTP_COOKIE", kSession}, {"HTTP_HOST", "evil\r\nX-Injected: 1"}});
  EXPECT_EQ(host.raw.find("\r\nX-Injected"), std::string::npos) << host.raw;
  EXPECT_EQ(host.exit_code, 0);
}

}  // namespace
}  // namespace tessaro::testing
