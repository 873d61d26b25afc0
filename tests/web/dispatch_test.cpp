// The module's dispatch and gate, driven in-process through the same entry
// point the executable uses: a CGI environment, a body on a pipe, and the
// response bytes captured from a memory file.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "cgi/web_response.h"
#include "support/cgi_response.h"
#include "util/codepage.h"
#include "util/datetime.h"
#include "util/module_path.h"
#include "web/cgi_application.h"
#include "web/main_module.h"

namespace tessaro {
namespace {

using testing::CgiResponse;
using testing::ParseCgiResponse;

// A portal folder for the in-process runs: the settings files are found
// beside the program's path, so the path is pointed into a temporary folder.
class PortalFolder : public ::testing::Environment {
 public:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("tessaro-web-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "tessaro0.ini") << "[OPTIONS]\n";
    SetModuleFileName((dir_ / "tessaro.cgi").string());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

 private:
  std::filesystem::path dir_;
};
const auto* const kPortalFolder = ::testing::AddGlobalTestEnvironment(new PortalFolder);

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

CgiResponse RunCgi(std::map<std::string, std::string> env, const std::string& body = "") {
  env.emplace("SERVER_PROTOCOL", "HTTP/1.1");
  env.emplace("REQUEST_METHOD", "GET");
  env.emplace("SCRIPT_NAME", "/tessaro.cgi");
  env.emplace("HTTP_HOST", "portal.example");
  int in[2];
  EXPECT_EQ(pipe(in), 0);
  EXPECT_EQ(write(in[1], body.data(), body.size()), static_cast<ssize_t>(body.size()));
  close(in[1]);
  int out = memfd_create("response", 0);
  TWebAppOptionsManager::Instance().Clear();
  RunCgiRequest(CgiEnvironment::FromMap(env), in[0], out);
  close(in[0]);
  std::string bytes;
  lseek(out, 0, SEEK_SET);
  char buf[4096];
  for (ssize_t n; (n = read(out, buf, sizeof buf)) > 0;) bytes.append(buf, n);
  close(out);
  return ParseCgiResponse(bytes);
}

std::string Cp(const char* utf8) { return Cp1250(utf8); }

TEST(MatchesMask, WildcardsAndCase) {
  struct Case {
    const char* text;
    const char* mask;
    bool match;
  } cases[] = {
      {"/main", "/main", true},   {"/MAIN", "/main", true},
      {"/main/", "/main", false}, {"", "", true},
      {"/x", "", false},          {"/ShowList", "/Show*", true},
      {"/Sh", "/Sh?", false},     {"/abc", "/a?c", true},
      {"/a/b/c", "*c", true},     {"aaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*c", false},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.text, c.mask), c.match) << c.text << " ~ " << c.mask;
}

TEST(MainModule, ActionTableAndPathLists) {
  auto module = CreateModule<TmainModule>();
  std::vector<std::string> names;
  for (const auto& a : module->Actions()) names.push_back(a.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"waDefault", "waTest", "waTest2", "waCheckLogin", "waPage", "waCalendar",
                                             "waMain", "waShowList", "waShowDetail", "waShowImg", "waImg", "waRegister",
                                             "waDoAction", "waRFormMail", "waRemind"}));
  for (const char* p : {"/main", "/MAIN", "/ShowList", "/ShowDetail", "/ShowImg", "/Action", "/f2m"}) {
    EXPECT_TRUE(module->NeedsLogin(p)) << p;
    EXPECT_TRUE(module->NeedsAccount(p)) << p;
  }
  for (const char* p : {"/zntest", "/zntest2"}) {
    EXPECT_TRUE(module->NeedsLogin(p));
    EXPECT_FALSE(module->NeedsAccount(p));
  }
  for (const char* p : {"/Cal", "/Img", "/Action", "/f2m"}) EXPECT_TRUE(module->NeedsSession(p)) << p;
  for (const char* p : {"/CheckLogin", "/Page", "/Register", "/Rem", "/Img", "/unknown"})
    EXPECT_FALSE(module->NeedsLogin(p)) << p;
  EXPECT_EQ(module->ActionPath("waCheckLogin"), "/CheckLogin");
  EXPECT_EQ(module->GetOptions()->LoginPath, "/CheckLogin");
}

TEST(Dispatch, InvalidEntryPointIsAPlainErrorPageWithStatus200) {
  for (auto [method, path] : {std::pair{"GET", "/unknown"}, {"GET", "/Register"}, {"GET", ""}, {"PUT", "/Page"}}) {
    CgiResponse r =
        RunCgi({{"REQUEST_METHOD", method}, {"PATH_INFO", path}, {"CONTENT_LENGTH", "0"}, {"HTTP_COOKIE", kSession}});
    EXPECT_EQ(r.status_text, "200 OK") << path;
    EXPECT_NE(r.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << r.body;
    EXPECT_NE(r.body.find(Cp("Neplatný vstupní bod")), std::string::npos);
    EXPECT_EQ(r.Header("Content-Type"), "text/html");
    EXPECT_EQ(r.Header("Content-Length"), std::to_string(r.body.size()));
  }
}

TEST(Dispatch, EnglishErrorPageWhenLangIsEng) {
  CgiResponse r = RunCgi({{"PATH_INFO", "/nowhere"}, {"QUERY_STRING", "lang=ENG"}, {"HTTP_COOKIE", kSession}});
  EXPECT_NE(r.body.find("<TITLE>Error</TITLE>"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("en-us"), std::string::npos);
}

TEST(Gate, SessionBoundPathsRefuseCrossLinks) {
  for (const char* path : {"/Cal", "/Img", "/Action", "/f2m", "/CAL"}) {
    const char* method = std::string(path) == "/f2m" ? "POST" : "GET";
    CgiResponse r = RunCgi({{"PATH_INFO", path}, {"REQUEST_METHOD", method}, {"CONTENT_LENGTH", "0"}});
    EXPECT_NE(r.body.find("Cross link not allowed"), std::string::npos) << path << r.body;
    EXPECT_TRUE(r.Cookies().empty()) << path;
  }
}

TEST(Gate, NewVisitorGetsExactlyOneSessionCookie) {
  CgiResponse r = RunCgi({{"PATH_INFO", "/unknown"}});
  ASSERT_EQ(r.Cookies().size(), 1u);
  const std::string cookie = r.Cookies()[0];
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} with its braces URL-encoded.
  const std::string attributes = "%7d; path=/; HttpOnly; SameSite=Strict";
  ASSERT_EQ(cookie.size(), std::string("ZNKSESSIONID=%7b").size() + 36 + attributes.size());
  EXPECT_EQ(cookie.substr(0, 16), "ZNKSESSIONID=%7b");
  EXPECT_EQ(cookie.substr(cookie.size() - attributes.size()), attributes);
}

TEST(Gate, SessionCookieIsKeptOrReplaced) {
  EXPECT_TRUE(RunCgi({{"PATH_INFO", "/x"}, {"HTTP_COOKIE", kSession}}).Cookies().empty());
  // 38 characters in braces that are not a GUID.
  CgiResponse r =
      RunCgi({{"PATH_INFO", "/x"}, {"HTTP_COOKIE", "ZNKSESSIONID=%7bZZZZZZZZ-8B86-D011-B42D-00C04FC964FF%7d"}});
  ASSERT_EQ(r.Cookies().size(), 1u);
  EXPECT_EQ(r.Cookies()[0].find("%7bZZZZ"), std::string::npos);
}

TEST(Gate, LogoutOnAnUnprotectedPathSendsEveryCookieTwiceAndRunsTheAction) {
  CgiResponse r = RunCgi(
      {{"PATH_INFO", "/unknown"}, {"QUERY_STRING", "logout=1"}, {"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=TEST"}});
  auto cookies = r.Cookies();
  ASSERT_EQ(cookies.size(), 4u);
  EXPECT_EQ(cookies[0], "ZNKSESSIONID=logged_out; path=/; HttpOnly; SameSite=Strict");
  EXPECT_EQ(cookies[1], "ZNKCGIUSERID=logged_out; path=/; HttpOnly; SameSite=Lax");
  EXPECT_EQ(cookies[2], "ZNKSESSIONID=logged_out; domain=portal.example; path=/tessaro.cgi/; expires=" +
                            FormatHttpDate(Date() - 300) + "; HttpOnly; SameSite=Strict");
  EXPECT_EQ(cookies[3].substr(0, 24), "ZNKCGIUSERID=logged_out;");
  EXPECT_NE(r.body.find(Cp("Neplatný vstupní bod")), std::string::npos);
}

TEST(Gate, TestLoginCookieOpensTheTestPage) {
  CgiResponse r = RunCgi({{"PATH_INFO", "/zntest"}, {"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=TEST"}});
  EXPECT_EQ(r.status_text, "200 OK");
  EXPECT_NE(r.body.find(Cp("<P>Neplatný požadavek")), std::string::npos) << r.body;
  // The same cookie does not open an account page.
  CgiResponse main = RunCgi({{"PATH_INFO", "/main"}, {"HTTP_COOKIE", kSession + "; ZNKCGIUSERID=TEST"}});
  EXPECT_EQ(main.body.find(Cp("<P>Neplatný požadavek")), std::string::npos);
}

TEST(Gate, MalformedRequestFieldsGiveTheErrorPage) {
  CgiResponse r = RunCgi({{"PATH_INFO", "/x"}, {"QUERY_STRING", "a=100%"}, {"HTTP_COOKIE", kSession}});
  EXPECT_NE(r.body.find("Error decoding URL style (%XX) encoded string at position 6"), std::string::npos) << r.body;
  CgiResponse bad = RunCgi({{"PATH_INFO", "/x"}, {"QUERY_STRING", "a=%zz"}, {"HTTP_COOKIE", kSession}});
  EXPECT_NE(bad.body.find("Invalid URL encoded character (%zz) at position 3"), std::string::npos) << bad.body;
}

TEST(Gate, OversizedBodyIsRefusedUnread) {
  std::string body(2000, 'a');
  CgiResponse r = RunCgi({{"PATH_INFO", "/Register"},
                          {"REQUEST_METHOD", "POST"},
                          {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                          {"CONTENT_LENGTH", "2000"},
                          {"TESSARO_MAX_BODY_BYTES", "1000"},
                          {"HTTP_COOKIE", kSession}},
                         body);
  EXPECT_NE(r.body.find(Cp("Požadavek je příliš velký")), std::string::npos) << r.body;
}

TEST(Dispatch, NoHeaderBlockWithoutProtocol) {
  CgiResponse r = RunCgi({{"SERVER_PROTOCOL", ""}, {"PATH_INFO", "/x"}, {"HTTP_COOKIE", kSession}});
  EXPECT_EQ(r.raw.substr(0, 6), "<HTML>");
}

}  // namespace
}  // namespace tessaro
