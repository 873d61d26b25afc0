// The tags of the login pages and the credentials the modules accept.
#include "web/login_context.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "web/main_module.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

struct LoginFixture {
  explicit LoginFixture(const std::string& query) {
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap({{"REQUEST_METHOD", "GET"},
                                                                     {"QUERY_STRING", query},
                                                                     {"HTTP_HOST", "h"},
                                                                     {"SERVER_PORT", "80"},
                                                                     {"SCRIPT_NAME", "/p.cgi"},
                                                                     {"PATH_INFO", "/zntest"}}),
                                            -1);
    response = std::make_unique<TWebResponse>(*request, -1);
    options.LoginPath = "/CheckLogin";
    options.bad_login = "spatne";
    options.bad_logineng = "wrong";
    options.BlackBoard_AllUsers.Add("  Maintenance tonight");
    options.BlackBoard_AllUsers.Add("from 22:00  ");
    context = MakeContext<TTessaroLoginContext>(request.get(), &options, response.get());
  }
  std::string Tag(const std::string& name) {
    TPageProducer producer;
    TStrings doc;
    doc.Add("<#" + name + ">");
    producer.SetHTMLDoc(doc);
    std::string page = context->Produce(producer);
    return page.substr(0, page.size() - 2);
  }

  TTessaroOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
  std::unique_ptr<TTessaroLoginContext> context;
};

TEST(LoginContext, TagsOfTheLoginPages) {
  LoginFixture f("logdest=%2Fzntest&USRNAME=u");
  EXPECT_EQ(f.Tag("LINK"), "http://h/p.cgi/zntest");
  f.context->logqry = "a=1";
  EXPECT_EQ(f.Tag("link"), "http://h/p.cgi/zntest?a=1");
  EXPECT_EQ(f.Tag("tag_logaction"), "http://h/p.cgi/CheckLogin");
  EXPECT_EQ(f.Tag("tag_destination") + "|" + f.Tag("tag_destquery"), "/zntest|a=1");
  EXPECT_EQ(f.Tag("tag_board"), "Maintenance tonight<br>from 22:00");
  EXPECT_EQ(f.Tag("tag_badlogin"), "");
  f.context->BadLogin = true;
  EXPECT_EQ(f.Tag("tag_badlogin"), "spatne");
  f.context->lang = "ENG";
  EXPECT_EQ(f.Tag("tag_badlogin"), "wrong");
  f.context->quiet = "1";
  EXPECT_EQ(f.Tag("tag_badlogin"), "");
}

// A link to the login check can carry any destination: the tags write it as
// text, and the confirmation link leads only to a path of this portal.
TEST(LoginContext, DestinationTagsEscapeAndKeepToThePortal) {
  struct Case {
    const char* logdest;
    const char* logqry;
    const char* destination;  // tag_destination
    const char* link;         // LINK
  } cases[] = {
      {"/Page", "a=1&b=2", "/Page", "http://h/p.cgi/Page?a=1&amp;b=2"},
      {"/x\"><script>", "", "/x&quot;&gt;&lt;script&gt;", "http://h/p.cgi/x&quot;&gt;&lt;script&gt;"},
      {"/main", "'><b>", "/main", "http://h/p.cgi/main?&#39;&gt;&lt;b&gt;"},
      {"javascript:alert(1)", "", "", "http://h/p.cgi"},
      {"//evil.example/", "", "", "http://h/p.cgi"},
      {"/\\evil.example/", "", "", "http://h/p.cgi"},
      {"/\t/evil.example/", "", "", "http://h/p.cgi"},
      {"", "a=1", "", "http://h/p.cgi?a=1"},
  };
  for (const auto& c : cases) {
    LoginFixture f("");
    f.context->logdest = c.logdest;
    f.context->logqry = c.logqry;
    EXPECT_EQ(f.Tag("tag_destination"), c.destination) << c.logdest;
    EXPECT_EQ(f.Tag("LINK"), c.link) << c.logdest;
  }
  LoginFixture f("");
  f.context->logqry = "a=1&b=\"<x>";
  EXPECT_EQ(f.Tag("tag_destquery"), "a=1&amp;b=&quot;&lt;x&gt;");
  // Without a base address a foreign destination would be the whole link.
  f.options.script_base_url = "none";
  f.context->logdest = "javascript:alert(1)";
  f.context->logqry = "";
  EXPECT_EQ(f.Tag("LINK"), "");
}

TEST(LoginContext, CredentialsTheModulesAccept) {
  auto module = CreateModule<TmainModule>();
  struct Case {
    const char* query;
    const char* user_id;
  } cases[] = {
      {"logdest=/zntest&USRNAME=quokka&PSWD=pelican", "TEST"},
      {"logdest=/ZNTEST2&USRNAME=quokka&PSWD=pelican", "TEST"},
      {"logdest=/main&USRNAME=quokka&PSWD=pelican", ""},
      {"logdest=/Page&USRNAME=quokka&PSWD=pelican", ""},
      {"logdest=/zntest&USRNAME=QUOKKA&PSWD=pelican", ""},
      {"logdest=/zntest&USRNAME=quokka&PSWD=Pelican", ""},
      {"logdest=/main&USRNAME=&PSWD=", ""},
  };
  for (const auto& c : cases) {
    LoginFixture f(c.query);
    EXPECT_EQ(module->Authenticate(*f.context), c.user_id) << c.query;
  }
  LoginFixture f("");
  EXPECT_TRUE(module->CheckUser(*f.request, "TEST", "/zntest2"));
  EXPECT_FALSE(module->CheckUser(*f.request, "TEST", "/main"));
  EXPECT_FALSE(module->CheckUser(*f.request, "test", "/zntest"));
  EXPECT_FALSE(module->CheckUser(*f.request, "GYKDVMS52TJNWLUQ93H7XARB6EPCF84Z", "/main"));
}

}  // namespace
}  // namespace tessaro
