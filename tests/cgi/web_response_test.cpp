#include "cgi/web_response.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cgi_test_support.h"
#include "util/exception.h"
#include "util/module_path.h"

namespace tessaro {
namespace {

using testing::CapturedOutput;

// The security header lines every response carries unless switched off.
const std::string kSecurityLines =
    "X-Content-Type-Options: nosniff\r\n"
    "Referrer-Policy: same-origin\r\n"
    "X-Frame-Options: SAMEORIGIN\r\n"
    "Content-Security-Policy: frame-ancestors 'self'\r\n";

TWebRequest RequestWithProtocol(std::string protocol) {
  return TWebRequest(CgiEnvironment::FromMap({{"SERVER_PROTOCOL", std::move(protocol)}}), -1);
}

class WebResponseTest : public ::testing::Test {
 protected:
  TWebRequest request_ = RequestWithProtocol("HTTP/1.1");
  CapturedOutput out_;
  TWebResponse response_{request_, out_.fd()};
};

TEST_F(WebResponseTest, DefaultResponseWritesStatusTypeLengthAndContent) {
  EXPECT_EQ(response_.StatusCode(), 200);
  EXPECT_EQ(response_.ContentType(), "text/html");
  response_.SetContent("<p>hi</p>");
  response_.AddCookie("ZNKSESSIONID", "{AB-1}", "", "/", -1, false);
  response_.SendResponse();
  EXPECT_TRUE(response_.Sent());
  const std::string expected =
      "Status: 200 OK\r\n"
      "Set-Cookie: ZNKSESSIONID=%7bAB-1%7d; path=/\r\n" +
      kSecurityLines +
      "Content-Type: text/html\r\n"
      "Content-Length: 9\r\n"
      "Content:\r\n"
      "\r\n"
      "<p>hi</p>";
  EXPECT_EQ(out_.Bytes(), expected);
  response_.SendResponse();
  EXPECT_EQ(out_.Bytes(), expected) << "a second send writes nothing";
}

TEST_F(WebResponseTest, HeaderLinesComeInTheirFixedOrder) {
  response_.SetContentType("text/plain; charset=utf-8");
  response_.SetContentEncoding("identity");
  response_.SetContentVersion("1");
  response_.SetCustomHeader("X-Frame-Options", "SAMEORIGIN");
  response_.SetCustomHeader("x-frame-options", "DENY");
  response_.SetWWWAuthenticate("Basic realm=\"portal\"");
  response_.SetTitle("t");
  response_.SetLastModified(EncodeDate(2026, 12, 8) + 0.5);
  response_.SetExpires(EncodeDate(2026, 12, 9));
  response_.SetDate(EncodeDate(2026, 12, 9));
  response_.SetDerivedFrom("d");
  response_.AddCookie("a", "1", "", "", -1, false);
  response_.AddCookie("b", "2", "", "", -1, true);
  response_.SetAllow("GET, POST");
  response_.SetLocation("/x");
  response_.SetStatusCode(404);
  response_.SetContent("ok");
  response_.SendResponse();
  EXPECT_EQ(out_.Bytes(),
            "Status: 404 Not Found\r\n"
            "Location: /x\r\n"
            "Allow: GET, POST\r\n"
            "Set-Cookie: a=1\r\n"
            "Set-Cookie: b=2; secure\r\n"
            "Derived-From: d\r\n"
            "Expires: Wed, 09 Dec 2026 00:00:00 GMT\r\n"
            "Last-Modified: Tue, 08 Dec 2026 12:00:00 GMT\r\n"
            "Title: t\r\n"
            "WWW-Authenticate: Basic realm=\"portal\"\r\n"
            "X-Frame-Options: DENY\r\n"  // in place of the fixed one
            "X-Content-Type-Options: nosniff\r\n"
            "Referrer-Policy: same-origin\r\n"
            "Content-Security-Policy: frame-ancestors 'self'\r\n"
            "Content-Version: 1\r\n"
            "Content-Encoding: identity\r\n"
            "Content-Type: text/plain; charset=utf-8\r\n"
            "Content-Length: 2\r\n"
            "Content:\r\n"
            "\r\n"
            "ok");
}

TEST_F(WebResponseTest, EachSecurityHeaderCanBeSwitchedOff) {
  const struct {
    bool TSecurityHeaders::*off;
    std::string_view line;
  } cases[] = {
      {&TSecurityHeaders::NoSniff, "X-Content-Type-Options: nosniff\r\n"},
      {&TSecurityHeaders::ReferrerPolicy, "Referrer-Policy: same-origin\r\n"},
      {&TSecurityHeaders::FrameOptions, "X-Frame-Options: SAMEORIGIN\r\n"},
      {&TSecurityHeaders::CspFrameAncestors, "Content-Security-Policy: frame-ancestors 'self'\r\n"},
  };
  for (const auto& c : cases) {
    CapturedOutput out;
    TWebResponse response(request_, out.fd());
    TSecurityHeaders headers;
    headers.*c.off = false;
    response.SetSecurityHeaders(headers);
    response.SendResponse();
    std::string expected = kSecurityLines;
    expected.erase(expected.find(c.line), c.line.size());
    EXPECT_EQ(out.Bytes(), "Status: 200 OK\r\n" + expected + "Content-Type: text/html\r\nContent:\r\n\r\n") << c.line;
  }
}

TEST_F(WebResponseTest, StatusLineUsesThePhraseOrFallsBackTo200OK) {
  const struct {
    int code;
    std::string_view phrase, status_line;
  } cases[] = {
      {302, "Moved Temporarily", "Status: 302 Moved Temporarily\r\n"},
      {203, "Non-Authoritative Information", "Status: 203 Non-Authoritative Information\r\n"},
      {406, "None Acceptable", "Status: 406 None Acceptable\r\n"},
      {412, "Unless True", "Status: 412 Unless True\r\n"},
      {413, "Request Entity Too Large", "Status: 413 Request Entity Too Large\r\n"},
      {504, "Gateway Timeout", "Status: 504 Gateway Timeout\r\n"},
      {299, "", "Status: 200 OK\r\n"},
      {0, "", "Status: 200 OK\r\n"},
      {-302, "", "Status: 200 OK\r\n"},
  };
  for (const auto& c : cases) {
    CapturedOutput out;
    TWebResponse response(request_, out.fd());
    response.SetStatusCode(c.code);
    EXPECT_EQ(response.ReasonString(), c.phrase) << c.code;
    response.SendResponse();
    EXPECT_TRUE(out.Bytes().starts_with(c.status_line)) << c.code << ": " << out.Bytes();
  }
}

TEST(Cookie, HeaderValueListsTheAttributesThatAreSet) {
  const TDateTime dec9 = EncodeDate(2026, 12, 9);
  const struct {
    TCookie cookie;
    std::string_view value;
  } cases[] = {
      {{"a b", "c=d;{}", "", "", -1, false, false, ""}, "a+b=c%3dd%3b%7b%7d"},
      {{"n", "v", "", "/", -1, false, false, ""}, "n=v; path=/"},
      {{"n", "", "", "", -1, true, false, ""}, "n=; secure"},
      {{"n", "v", "portal.example", "/cgi", dec9, true, true, "Strict"},
       "n=v; domain=portal.example; path=/cgi; expires=Wed, 09 Dec 2026 00:00:00 GMT; secure; HttpOnly; "
       "SameSite=Strict"},
      {{"n", "v", "", "", -1, false, true, ""}, "n=v; HttpOnly"},
      {{"n", "v", "", "/", -1, false, false, "Lax"}, "n=v; path=/; SameSite=Lax"},
      {{"n", "v", "", "", dec9 + EncodeTime(13, 5, 9, 0), false, false, ""},
       "n=v; expires=Wed, 09 Dec 2026 13:05:09 GMT"},
      {{"n", "v", "", "", 0, false, false, ""}, "n=v; expires=Sat, 30 Dec 1899 00:00:00 GMT"},
      {{"n", "v", "", "", 1e9, false, false, ""}, "n=v"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.cookie.HeaderValue(), c.value);
}

TEST_F(WebResponseTest, SetCookieFieldAddsOneCookiePerEntry) {
  response_.SetCookieField(TStrings{"ZNKCGIUSERID=U 1", "ZNKSESSIONID={S}"}, "h", "/p", EncodeDate(2026, 12, 9), true);
  ASSERT_EQ(response_.Cookies().size(), 2u);
  EXPECT_EQ(response_.Cookies()[0].Name, "ZNKCGIUSERID");
  EXPECT_EQ(response_.Cookies()[0].Value, "U 1");
  EXPECT_EQ(response_.Cookies()[1].HeaderValue(),
            "ZNKSESSIONID=%7bS%7d; domain=h; path=/p; expires=Wed, 09 Dec 2026 00:00:00 GMT; secure");
}

TEST(WebResponse, WithoutProtocolOnlyTheContentIsWritten) {
  TWebRequest request = RequestWithProtocol("");
  CapturedOutput out;
  TWebResponse response(request, out.fd());
  response.SetLocation("/x");
  response.SetContent("body only");
  response.SendResponse();
  EXPECT_EQ(out.Bytes(), "body only");
}

TEST_F(WebResponseTest, ContentStreamIsWrittenFromItsPositionWithItsLength) {
  std::string data(20000, 'x');
  data[0] = 'S';
  data.back() = 'E';
  auto stream = std::make_unique<std::istringstream>("skip" + data);
  stream->ignore(4);
  response_.SetContent("ignored");
  response_.SetContentStream(std::move(stream));
  EXPECT_EQ(response_.ContentLength(), 20000);
  response_.SendResponse();
  EXPECT_EQ(out_.Bytes(), "Status: 200 OK\r\n" + kSecurityLines +
                              "Content-Type: text/html\r\nContent-Length: 20000\r\nContent:\r\n\r\n" + data);
}

TEST_F(WebResponseTest, EmptyContentHasNoLengthLineButAnEmptyStreamHas) {
  response_.SendResponse();
  EXPECT_EQ(out_.Bytes(), "Status: 200 OK\r\n" + kSecurityLines + "Content-Type: text/html\r\nContent:\r\n\r\n");

  CapturedOutput out;
  TWebResponse streamed(request_, out.fd());
  streamed.SetContentStream(std::make_unique<std::istringstream>(""));
  streamed.SendResponse();
  EXPECT_EQ(out.Bytes(),
            "Status: 200 OK\r\n" + kSecurityLines + "Content-Type: text/html\r\nContent-Length: 0\r\nContent:\r\n\r\n");
}

TEST_F(WebResponseTest, LongStringContentIsWrittenWhole) {
  std::string data(3 * 8192 + 5, 'y');
  data.back() = 'Z';
  TWebRequest bare = RequestWithProtocol("");
  TWebResponse response(bare, out_.fd());
  response.SetContent(data);
  response.SendResponse();
  EXPECT_EQ(out_.Bytes(), data);
}

TEST_F(WebResponseTest, RedirectSendsTheMovedPageAtOnce) {
  response_.SetContentType("text/plain");
  response_.SendRedirect("/cgi-bin/tessaro.cgi/Login?dest=\"a&b\"<x>");
  EXPECT_TRUE(response_.Sent());
  EXPECT_EQ(response_.StatusCode(), 302);
  const std::string page =
      "<html><title>Document Moved 302</title>\r\n"
      "<body><h1>Object Moved</h1><hr>\r\n"
      "This Object may be found <a HREF=\"/cgi-bin/tessaro.cgi/Login?dest=&quot;a&amp;b&quot;&lt;x&gt;\">here.</a>"
      "<br>\r\n<br></body></html>\r\n";
  EXPECT_EQ(out_.Bytes(),
            "Status: 302 Moved Temporarily\r\n"
            "Location: /cgi-bin/tessaro.cgi/Login?dest=\"a&b\"<x>\r\n" + kSecurityLines +
                "Content-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
                "\r\nContent:\r\n\r\n" + page);
}

TEST_F(WebResponseTest, ValuesThatWouldSplitAHeaderLineAreRefused) {
  const std::string nul("a\0b", 3);
  const struct {
    const char* what;
    std::function<void(TWebResponse&)> set;
  } cases[] = {
      {"location CR LF", [](TWebResponse& r) { r.SetLocation("/x\r\nSet-Cookie: admin=1"); }},
      {"location LF", [](TWebResponse& r) { r.SetLocation("/x\nX: 1"); }},
      {"location NUL", [&](TWebResponse& r) { r.SetLocation(nul); }},
      {"content type CR", [](TWebResponse& r) { r.SetContentType("text/html\r"); }},
      {"redirect", [](TWebResponse& r) { r.SendRedirect("/x\r\n\r\n<script>"); }},
      {"custom value", [](TWebResponse& r) { r.SetCustomHeader("X-A", "1\r\nX-B: 2"); }},
      {"custom name colon", [](TWebResponse& r) { r.SetCustomHeader("X-A: 1\r\nX-B", "2"); }},
      {"custom name blank", [](TWebResponse& r) { r.SetCustomHeader("X A", "2"); }},
      {"custom name empty", [](TWebResponse& r) { r.SetCustomHeader("", "2"); }},
      {"cookie domain", [](TWebResponse& r) { r.AddCookie("n", "v", "evil\r\nX: 1", "/", -1, false); }},
      {"cookie path", [](TWebResponse& r) { r.AddCookie("n", "v", "", "/\n", -1, false); }},
      {"cookie attribute", [](TWebResponse& r) { r.AddCookie("n", "v", "h; secure", "/", -1, false); }},
      {"cookie SameSite",
       [](TWebResponse& r) { r.AddCookie(TCookie{"n", "v", "", "/", -1, false, true, "Lax\r\nX: 1"}); }},
      {"cookie field domain",
       [](TWebResponse& r) { r.SetCookieField(TStrings{"a=1"}, "h\r\nX: 1", "/", -1, false); }},
  };
  for (const auto& c : cases) {
    CapturedOutput out;
    TWebResponse response(request_, out.fd());
    response.SetLocation("/safe");
    EXPECT_THROW(c.set(response), Exception) << c.what;
    EXPECT_EQ(response.Location(), "/safe") << c.what;
    EXPECT_EQ(response.ContentType(), "text/html") << c.what;
    EXPECT_TRUE(response.Cookies().empty()) << c.what;
    EXPECT_TRUE(response.CustomHeaders().empty()) << c.what;
    EXPECT_FALSE(response.Sent()) << c.what;
    EXPECT_EQ(out.Bytes(), "") << c.what;
  }
}

TEST_F(WebResponseTest, SendChecksCookiesChangedBehindItsBackBeforeWriting) {
  response_.AddCookie("n", "v", "", "/", -1, false);
  response_.SetContent("x");
  response_.Cookies()[0].Domain = "h\r\nLocation: http://evil/";
  try {
    response_.SendResponse();
    ADD_FAILURE() << "sent";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid character in cookie attribute");
  }
  EXPECT_FALSE(response_.Sent());
  EXPECT_EQ(out_.Bytes(), "");
}

TEST(UnhandledFailure, ShowsPathsOfThePortalFolderRelativeToIt) {
  CapturedOutput out;
  WriteUnhandledFailure(out.fd(), "EFOpenError", "Cannot open " + ModuleDir() + "qmxdef.idt");
  EXPECT_EQ(out.Bytes().find(ModuleDir()), std::string::npos) << out.Bytes();
  EXPECT_NE(out.Bytes().find("Status: 500 Cannot open qmxdef.idt\r\n"), std::string::npos) << out.Bytes();
  EXPECT_NE(out.Bytes().find("Message: Cannot open qmxdef.idt<br>"), std::string::npos) << out.Bytes();
}

TEST(UnhandledFailure, WritesA500PageWithTheMessageKeptToOneStatusLine) {
  CapturedOutput out;
  WriteUnhandledFailure(out.fd(), "EAccessViolation", "Bad <b>\r\nfield & \"x\"");
  const std::string body =
      "<html><title>Internal Server Error 500</title>\r\n"
      "<h1>Internal Server Error 500</h1><hr>\r\n"
      "Exception: EAccessViolation<br>\r\n"
      "Message: Bad &lt;b&gt;\r\nfield &amp; &quot;x&quot;<br></html>\r\n";
  EXPECT_EQ(out.Bytes(), "Status: 500 Bad <b>field & \"x\"\r\n" + kSecurityLines +
                             "Content-Type: text/html\r\n"
                             "Content-Length: " +
                             std::to_string(body.size()) + "\r\n\r\n" + body);
}

}  // namespace
}  // namespace tessaro
