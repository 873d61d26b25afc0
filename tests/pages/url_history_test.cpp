// The visitor's trail: how visits change it, reading it back from a cookie,
// and what a damaged or forged cookie leaves.
#include "pages/url_history.h"

#include <gtest/gtest.h>

#include <map>

#include "cgi/url_encoding.h"
#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "pages/tessaro_context.h"
#include "util/base64.h"
#include "util/exception.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

const std::string kBase = "http://h/p.cgi";

class Trail : public ::testing::Test {
 protected:
  void SetUp() override {
    options.ShowListPath = "/ShowList";
    options.DoActionPath = "/Action";
  }
  // A context for a GET of `page` ("/ShowDetail?ID=1") that came from
  // `referer` (a portal page or empty).
  TTessaroContext& Visit(const std::string& page, const std::string& referer = "") {
    const size_t question = page.find('?');
    std::map<std::string, std::string> env{{"REQUEST_METHOD", "GET"},
                                           {"HTTP_HOST", "h"},
                                           {"SERVER_PORT", "80"},
                                           {"SCRIPT_NAME", "/p.cgi"},
                                           {"PATH_INFO", page.substr(0, question)},
                                           {"QUERY_STRING", question == std::string::npos ? "" : page.substr(question + 1)}};
    if (!referer.empty()) env["HTTP_REFERER"] = kBase + referer;
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), -1);
    response = std::make_unique<TWebResponse>(*request, -1);
    context = MakeContext<TTessaroContext>(request.get(), &options, response.get());
    return *context;
  }
  // Visits `page` from `referer` with the trail of `cookie`; the new cookie.
  std::string Step(const std::string& cookie, const std::string& page, const std::string& referer,
                   const std::string& previous = "") {
    TTessaroURLHistoryStack trail(Visit(page, referer));
    trail.Load(cookie);
    trail.Update(true, previous.empty() ? "" : kBase + previous);
    return trail.Save();
  }
  std::vector<std::string> Entries(const std::string& cookie) {
    TTessaroURLHistoryStack trail(Visit("/ShowDetail"));
    trail.Load(cookie);
    return trail.URLs().Items();
  }

  TTessaroOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
  std::unique_ptr<TTessaroContext> context;
};

TEST_F(Trail, ReturningToAPageCutsTheTrailThere) {
  std::string cookie = Step("", "/ShowList?ID=L", "/main");
  EXPECT_TRUE(Entries(cookie).empty());
  cookie = Step(cookie, "/ShowDetail?ID=L&EID=A", "/ShowList?ID=L");
  cookie = Step(cookie, "/ShowDetail?ID=L&EID=B", "/ShowDetail?ID=L&EID=A");
  EXPECT_EQ(Entries(cookie), (std::vector<std::string>{kBase + "/ShowList?ID=L", kBase + "/ShowDetail?ID=L&EID=A"}));
  // A reload of B changes nothing.
  EXPECT_EQ(Step(cookie, "/ShowDetail?ID=L&EID=B", "/ShowDetail?ID=L&EID=B", "/ShowDetail?EID=B&ID=L"), cookie);
  cookie = Step(cookie, "/ShowDetail?ID=L&EID=A", "/ShowDetail?ID=L&EID=B");
  EXPECT_EQ(Entries(cookie), (std::vector<std::string>{kBase + "/ShowList?ID=L"}));
}

TEST_F(Trail, UrlFromStackCountsBackFromTheEnd) {
  TTessaroURLHistoryStack trail(Visit("/ShowDetail"));
  EXPECT_EQ(trail.URLFromStack(0), "");
  trail.Load(Base64Encode(kBase + "/ShowList?ID=1\r\n" + kBase + "/ShowDetail?ID=1&EID=2"));
  EXPECT_EQ(trail.URLFromStack(0), kBase + "/ShowDetail?ID=1&EID=2");
  EXPECT_EQ(trail.URLFromStack(-1), kBase + "/ShowList?ID=1");
  EXPECT_EQ(trail.URLFromStack(-5), kBase + "/ShowList?ID=1");
  EXPECT_EQ(trail.ListURL(), kBase + "/ShowList?ID=1");
  EXPECT_THROW(trail.URLFromStack(1), Exception);
  // Any list page stands for the list; a record action is never on the trail.
  EXPECT_EQ(trail.IndexOf(kBase + "/showlist?ID=9"), 0);
  EXPECT_EQ(trail.IndexOf(kBase + "/ShowDetail?EID=2&id=1"), 1);
  EXPECT_EQ(trail.IndexOf(kBase + "/ShowDetail?ID=1&EID=3"), -1);
  EXPECT_EQ(trail.IndexOf(kBase + "/Action?ID=1&EID=2"), -1);
  trail.Truncate(0);
  EXPECT_TRUE(trail.URLs().Empty());
}

// The cookie is the visitor's: only this portal's addresses are kept.
TEST_F(Trail, DamagedOrForgedCookiesLeaveOnlyPortalAddresses) {
  const struct {
    std::string cookie;
    std::vector<std::string> kept;
  } cases[] = {
      {"", {}},
      {"!!!not base64***", {}},
      {Base64Encode(std::string("\0\xff\x01", 3)), {}},
      {Base64Encode("http://evil/p.cgi/ShowList\r\njavascript:alert(1)\r\n" + kBase + "/ShowList?ID=1"),
       {kBase + "/ShowList?ID=1"}},
      {Base64Encode("//h/p.cgi/ShowList\r\nhttp://h/p.cgi.evil/x\r\nhttp://h/p.cgi/x\x01y"), {}},
      {std::string(kMaxHistoryCookie + 1, 'A'), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cookie.substr(0, 60));
    EXPECT_EQ(Entries(c.cookie), c.kept);
  }
  // A cookie of many addresses stays bounded, and so does what is written back.
  std::string many;
  for (int i = 0; i < 200; ++i) many += kBase + "/ShowDetail?ID=" + std::to_string(i) + "\r\n";
  TTessaroURLHistoryStack trail(Visit("/ShowDetail?ID=x", "/ShowDetail?ID=y"));
  trail.Load(Base64Encode(many.substr(0, 2900)));
  trail.Update(true, "");
  EXPECT_LE(trail.URLs().Count(), 33u);
  EXPECT_LE(trail.Save().size(), kMaxHistoryCookie);
  EXPECT_EQ(trail.URLFromStack(0), kBase + "/ShowDetail?ID=y");
}

TEST(UrlQueryValue, FindsDecodedValuesWithoutCase) {
  EXPECT_EQ(UrlQueryValue("http://h/p?a=1&id=%7BX%7D&EID=2#frag", "ID"), "{X}");
  EXPECT_EQ(UrlQueryValue("http://h/p?a=1&EID=2#x", "eid"), "2");
  EXPECT_EQ(UrlQueryValue("http://h/p?ID", "ID"), "");
  EXPECT_EQ(UrlQueryValue("http://h/p#?ID=1", "ID"), "");
}

}  // namespace
}  // namespace tessaro
