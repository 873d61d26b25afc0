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

// Decoding errors quote the request, and the error page shows the message.
TEST(CgiProgram, ErrorMessagesAreEscapedOnTheErrorPage) {
  Deployment d;
  auto r = d.Get("/Page", "a=%<b", {{"HTTP_COOKIE", kSession}});
  EXPECT_NE(r.body.find("(%&lt;b)"), std::string::npos) << r.body;
  EXPECT_EQ(r.body.find("<b"), std::string::npos) << r.body;
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

TEST(CgiProgram, ABodyOverTheLimitIsRefusedWith413AndTheErrorPage) {
  Deployment d;
  auto r = d.Post("/Register", std::string(2000, 'a'), "application/x-www-form-urlencoded",
                  {{"TESSARO_MAX_BODY_BYTES", "1000"}, {"HTTP_COOKIE", kSession}});
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_EQ(r.status_text, "413 Request Entity Too Large");
  EXPECT_NE(r.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("Po\x9e" "adavek je p\xf8\xedli\x9a velk\xfd"), std::string::npos) << r.body;
}

// A body of tiny fields costs far more memory as fields than as bytes, so
// the number of fields is bounded too; a form of 250,000 still works.
TEST(CgiProgram, AFormOfTooManyFieldsIsRefusedWith413) {
  Deployment d;
  auto form = [](size_t fields) {
    std::string body = "a";
    for (size_t i = 1; i < fields; ++i) body += "&a";
    return body;
  };
  auto at_limit = d.Post("/Page", form(250000), "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(at_limit.status_text, "200 OK") << at_limit.body.substr(0, 400);
  auto over = d.Post("/Page", form(250001), "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
  EXPECT_EQ(over.status_text, "413 Request Entity Too Large");
  EXPECT_NE(over.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << over.body;
}

// A large body is held once as it arrived and once as fields, never in the
// further copies that reading, parsing, decoding and every context of the
// request would otherwise make.
TEST(CgiProgram, PeakMemoryOfALargeBodyStaysAFewTimesItsSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's shadow memory and quarantine hide the program's own";
#endif
  Deployment d;
  const size_t size = size_t{32} << 20;
  const long limit_kb = 2 * static_cast<long>(size >> 10) + (16 << 10);  // 16 MiB for the program itself
  // The child's peak includes this process's memory at the fork, so each
  // body is the only large thing alive while it is sent.
  auto run = [&](std::string body, const char* content_type, const char* path = "/Rem") {
    auto r = d.Post(path, body, content_type, {{"HTTP_COOKIE", kSession}});
    EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
    return r.max_rss_kb;
  };
  EXPECT_LE(run("f=" + std::string(size - 2, 'v'), "application/x-www-form-urlencoded"), limit_kb);
  // The invalid entry point's page looks for "lang" among the fields the
  // request context has already taken, not in a second parse of the body.
  EXPECT_LE(run("f=" + std::string(size - 2, 'v'), "application/x-www-form-urlencoded", "/nowhere"), limit_kb);
  std::string multipart = "--B\r\nContent-Disposition: form-data; name=\"t\"\r\n\r\n";
  multipart.append(size / 2, 'x');
  multipart += "\r\n--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"a.bin\"\r\n"
               "Content-Type: application/octet-stream\r\n\r\n";
  multipart.append(size / 2, 'x');
  multipart += "\r\n--B--\r\n";
  EXPECT_LE(run(std::move(multipart), "multipart/form-data; boundary=B"), limit_kb);
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
