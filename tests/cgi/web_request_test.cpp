#include "cgi/web_request.h"

#include <gtest/gtest.h>

#include "cgi_test_support.h"
#include "util/exception.h"

namespace tessaro {
namespace {

using testing::BodyPipe;
using Env = std::map<std::string, std::string>;

// A request without a body: standard input is never touched.
TWebRequest RequestFrom(Env env) { return TWebRequest(CgiEnvironment::FromMap(std::move(env)), -1); }

// Header names fall back to the server's own variables, never the other way:
// a client's "Path-Info:" header must not stand in for PATH_INFO.
TEST(WebRequest, LookupFallsBackFromHeaderNamesOnly) {
  const struct {
    Env env;
    std::string_view name, value;
  } cases[] = {
      {{{"HTTP_CONTENT_TYPE", "a/b"}, {"CONTENT_TYPE", "c/d"}}, "HTTP_CONTENT_TYPE", "a/b"},
      {{{"CONTENT_TYPE", "c/d"}}, "HTTP_CONTENT_TYPE", "c/d"},
      {{{"HTTP_CONTENT_TYPE", ""}, {"CONTENT_TYPE", "c/d"}}, "HTTP_CONTENT_TYPE", "c/d"},
      {{{"HTTP_PATH_INFO", "/x"}}, "PATH_INFO", ""},
      {{{"PATH_INFO", ""}, {"HTTP_QUERY_STRING", "a=1"}}, "QUERY_STRING", ""},
      {{{"HTTP_REQUEST_METHOD", "POST"}}, "REQUEST_METHOD", ""},
      {{{"HTTP_SCRIPT_NAME", "/evil"}}, "SCRIPT_NAME", ""},
      {{{"PATH_INFO", "/y"}, {"HTTP_PATH_INFO", "/x"}}, "PATH_INFO", "/y"},
      {{{"HTTP_HOST", "h"}}, "HTTP_HOST", "h"},
      {{}, "REMOTE_ADDR", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RequestFrom(c.env).GetFieldByName(c.name), c.value) << c.name;
}

TEST(WebRequest, NamedVariablesReadTheirEnvironmentVariables) {
  TWebRequest r = RequestFrom({{"REQUEST_METHOD", "POST"},
                               {"SERVER_PROTOCOL", "HTTP/1.1"},
                               {"QUERY_STRING", "q=1"},
                               {"PATH_INFO", "/List"},
                               {"HTTP_HOST", "portal.example"},
                               {"HTTP_REFERER", "http://r/"},
                               {"CONTENT_TYPE", "text/plain"},
                               {"REMOTE_ADDR", "10.0.0.1"},
                               {"SCRIPT_NAME", "/cgi-bin/tessaro.cgi"},
                               {"SERVER_PORT", "8080"},
                               {"HTTP_COOKIE", "a=b"},
                               {"HTTP_ACCEPT_LANGUAGE", "cs"}});
  EXPECT_EQ(r.GetStringVariable("method"), "POST");
  EXPECT_EQ(r.ProtocolVersion(), "HTTP/1.1");
  EXPECT_EQ(r.GetStringVariable("Query"), "q=1");
  EXPECT_EQ(r.PathInfo(), "/List");
  EXPECT_EQ(r.GetStringVariable("Host"), "portal.example");
  EXPECT_EQ(r.Referer(), "http://r/");
  EXPECT_EQ(r.GetStringVariable("ContentType"), "text/plain");
  EXPECT_EQ(r.RemoteAddr(), "10.0.0.1");
  EXPECT_EQ(r.ScriptName(), "/cgi-bin/tessaro.cgi");
  EXPECT_EQ(r.ServerPort(), 8080);
  EXPECT_EQ(r.GetIntegerVariable("ServerPort"), 8080);
  EXPECT_EQ(r.Cookie(), "a=b");
  // Headers are read by their HTTP_ names; a bare name is the server's variable only.
  EXPECT_EQ(r.GetStringVariable("HTTP_ACCEPT_LANGUAGE"), "cs");
  EXPECT_EQ(r.GetStringVariable("ACCEPT_LANGUAGE"), "");
}

TEST(WebRequest, IntegerVariablesAreDecimalOrMinusOne) {
  const struct {
    const char* text;
    int64_t value;
  } cases[] = {
      {"80", 80},
      {"0", 0},
      {"-5", -5},
      {"+7", 7},
      {"9223372036854775807", INT64_MAX},
      {"9223372036854775808", -1},
      {"-9223372036854775808", INT64_MIN},
      {"", -1},
      {"12a", -1},
      {" 12", -1},
      {"0x10", -1},
      {"-", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(RequestFrom({{"SERVER_PORT", c.text}}).ServerPort(), c.value) << c.text;
  EXPECT_EQ(RequestFrom({}).ContentLength(), -1);
}

TEST(WebRequest, MethodTypeComparesWithoutCase) {
  const struct {
    const char* method;
    TMethodType type;
  } cases[] = {
      {"GET", TMethodType::Get},   {"get", TMethodType::Get},   {"Put", TMethodType::Put},
      {"POST", TMethodType::Post}, {"head", TMethodType::Head}, {"DELETE", TMethodType::Any},
      {"", TMethodType::Any},      {"GETX", TMethodType::Any},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RequestFrom({{"REQUEST_METHOD", c.method}}).MethodType(), c.type) << c.method;
}

TEST(WebRequest, QueryFieldsAreSplitDecodedAndLookedUpWithoutCase) {
  TWebRequest r = RequestFrom({{"QUERY_STRING", "a=1&b=x+y%21&flag&A=2"}});
  const TStrings& q = r.QueryFields();
  EXPECT_EQ(q.Items(), (std::vector<std::string>{"a=1", "b=x y!", "flag", "A=2"}));
  EXPECT_EQ(q.Values("A"), "1");
  EXPECT_EQ(q.Values("b"), "x y!");
  EXPECT_EQ(q.Values("flag"), "");
  EXPECT_EQ(q.Values("missing"), "");
  EXPECT_EQ(&r.QueryFields(), &q);
}

TEST(WebRequest, DecodingErrorsSurfaceOnEveryAccessOfTheAffectedList) {
  TWebRequest r = RequestFrom({{"QUERY_STRING", "a=%zz"}, {"HTTP_COOKIE", "c=%4"}});
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      r.QueryFields();
      ADD_FAILURE() << "query decoded";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Invalid URL encoded character (%zz) at position 3");
    }
  }
  try {
    r.CookieFields();
    ADD_FAILURE() << "cookie decoded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Error decoding URL style (%XX) encoded string at position 3");
  }
  EXPECT_TRUE(r.ContentFields().Empty());
}

TEST(WebRequest, CookieFieldsSkipBlanksAndCanBeWritten) {
  TWebRequest r = RequestFrom({{"HTTP_COOKIE", "ZNKSESSIONID=%7bAB%7d;  lang=eng ;x=a+b"}});
  EXPECT_EQ(r.CookieFields().Items(), (std::vector<std::string>{"ZNKSESSIONID={AB}", "lang=eng ", "x=a b"}));
  r.CookieFields().SetValues("ZNKCGIUSERID", "U1");
  EXPECT_EQ(r.CookieFields().Values("znkcgiuserid"), "U1");
}

TEST(WebRequest, ReadsExactlyContentLengthBytesAndParsesThem) {
  BodyPipe body("a=1&b=%C3%A1+c&rest", /*close_writer=*/false);
  TWebRequest r(CgiEnvironment::FromMap({{"CONTENT_LENGTH", "14"}}), body.fd());
  EXPECT_EQ(r.Content(), "a=1&b=%C3%A1+c");
  EXPECT_EQ(r.GetStringVariable("Content"), "a=1&b=%C3%A1+c");
  EXPECT_EQ(r.ContentFields().Items(), (std::vector<std::string>{"a=1", "b=\xc3\xa1 c"}));
  EXPECT_EQ(body.Rest(), "&rest");
}

TEST(WebRequest, ShortBodyUsesTheBytesThatArrived) {
  BodyPipe body("a=1&b=2");
  TWebRequest r(CgiEnvironment::FromMap({{"HTTP_CONTENT_LENGTH", "1000"}}), body.fd());
  EXPECT_EQ(r.ContentLength(), 1000);
  EXPECT_EQ(r.Content(), "a=1&b=2");
  EXPECT_EQ(r.ContentFields().Values("b"), "2");
  EXPECT_FALSE(r.ContentTooLarge());
}

TEST(WebRequest, NoBodyWithoutAPositiveContentLength) {
  for (const char* length : {"", "0", "-1", "-20", "12x", "1e3"}) {
    BodyPipe body("a=1");
    TWebRequest r(CgiEnvironment::FromMap({{"CONTENT_LENGTH", length}}), body.fd());
    EXPECT_EQ(r.Content(), "") << length;
    EXPECT_TRUE(r.ContentFields().Empty()) << length;
    EXPECT_FALSE(r.ContentTooLarge()) << length;
    EXPECT_EQ(body.Rest(), "a=1") << length;
  }
}

TEST(WebRequest, BodyOverTheLimitIsRefusedUnread) {
  BodyPipe body("a=1&b=2", /*close_writer=*/false);  // an open pipe would block any read
  TWebRequest r(CgiEnvironment::FromMap({{"CONTENT_LENGTH", "8"}}), body.fd(), /*max_body_bytes=*/7);
  EXPECT_TRUE(r.ContentTooLarge());
  EXPECT_EQ(r.Content(), "");
  EXPECT_TRUE(r.ContentFields().Empty());
  EXPECT_EQ(body.Rest(), "a=1&b=2");

  BodyPipe huge("x");
  TWebRequest h(CgiEnvironment::FromMap({{"CONTENT_LENGTH", "9223372036854775807"}}), huge.fd());
  EXPECT_TRUE(h.ContentTooLarge());
  EXPECT_EQ(huge.Rest(), "x");

  BodyPipe at_limit("a=1&b=2");
  TWebRequest l(CgiEnvironment::FromMap({{"CONTENT_LENGTH", "7"}}), at_limit.fd(), 7);
  EXPECT_FALSE(l.ContentTooLarge());
  EXPECT_EQ(l.ContentFields().Values("b"), "2");
}

TEST(WebRequest, MultipartBodyGivesRawFieldsAndFiles) {
  const std::string body =
      "--XyZ\r\n"
      "Content-Disposition: form-data; name=\"title\"\r\n\r\n"
      "a+b%21\r\n"
      "--XyZ\r\n"
      "Content-Disposition: form-data; name=\"photo\"; filename=\"p.png\"\r\n"
      "Content-Type: image/png\r\n\r\n"
      "\x89PNG\r\n\x1a\n\r\n"
      "--XyZ--\r\n";
  BodyPipe pipe(body);
  TWebRequest r(CgiEnvironment::FromMap({{"CONTENT_TYPE", "Multipart/Form-Data; boundary=XyZ"},
                                         {"CONTENT_LENGTH", std::to_string(body.size())}}),
                pipe.fd());
  EXPECT_EQ(r.ContentFields().Items(), std::vector<std::string>{"title=a+b%21"});
  ASSERT_EQ(r.Files().size(), 1u);
  EXPECT_EQ(r.Files()[0].FieldName, "photo");
  EXPECT_EQ(r.Files()[0].Bytes, "\x89PNG\r\n\x1a\n");
  // Fields handed over are parsed again when asked for; the files stay the same list.
  const TUploadedFile* file = &r.Files()[0];
  EXPECT_EQ(r.TakeContentFields().Items(), std::vector<std::string>{"title=a+b%21"});
  EXPECT_EQ(r.ContentFields().Items(), std::vector<std::string>{"title=a+b%21"});
  EXPECT_EQ(&r.Files()[0], file);
}

TEST(WebRequest, MultipartBodyWithoutBoundaryGivesNothing) {
  const std::string body = "--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n--XyZ--\r\n";
  BodyPipe pipe(body);
  TWebRequest r(CgiEnvironment::FromMap({{"CONTENT_TYPE", "multipart/form-data"},
                                         {"CONTENT_LENGTH", std::to_string(body.size())}}),
                pipe.fd());
  EXPECT_TRUE(r.ContentFields().Empty());
  EXPECT_TRUE(r.Files().empty());
}

}  // namespace
}  // namespace tessaro
