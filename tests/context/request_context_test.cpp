// The request context: request fields, cookies, addresses, the generic tags
// and the session code, driven with requests built from a fixed environment.
#include "context/request_context.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/request_urls.h"
#include "context/session_code.h"
#include "context/simple_page_context.h"
#include "settings/web_app_options.h"
#include "util/codepage.h"
#include "util/module_path.h"
#include "util/text.h"

namespace tessaro {
namespace {

const char kSessionCookie[] = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

using Env = std::map<std::string, std::string>;

// A request from an environment and a body, with a response that writes nowhere.
struct RequestFixture {
  explicit RequestFixture(std::map<std::string, std::string> env, const std::string& body = "") {
    env.emplace("REQUEST_METHOD", "GET");
    env.emplace("HTTP_HOST", "portal.example");
    env.emplace("SCRIPT_NAME", "/cgi/tessaro.cgi");
    env.emplace("SERVER_PORT", "80");
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    if (!body.empty() && write(fds[1], body.data(), body.size()) != static_cast<ssize_t>(body.size())) std::abort();
    close(fds[1]);
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), fds[0]);
    close(fds[0]);
    response = std::make_unique<TWebResponse>(*request, -1);
  }
  template <class T = tRequestContext>
  std::unique_ptr<T> Context() {
    return MakeContext<T>(request.get(), &options, response.get());
  }
  // The page produced from a one-line template.
  std::string Page(const std::string& line, tRequestContext* context = nullptr) {
    std::unique_ptr<tRequestContext> owned;
    if (!context) context = (owned = Context()).get();
    TPageProducer producer;
    TStrings doc;
    doc.Add(line);
    producer.SetHTMLDoc(doc);
    std::string page = context->Produce(producer);
    return page.substr(0, page.size() - 2);  // without the line's CR LF
  }

  TWebAppOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
};

TEST(RequestFields, GetPostAndMultipartSources) {
  struct Case {
    const char* method;
    const char* content_type;
    const char* query;
    const char* body;
    std::vector<std::string> fields;
  } cases[] = {
      {"GET", "", "a=1&b=2", "", {"a=1", "b=2"}},
      // Repeated names all give the first value.
      {"GET", "", "a=1&a=2", "", {"a=1", "a=1"}},
      // The body wins; the query fills names the body lacks or leaves empty.
      {"POST", "application/x-www-form-urlencoded", "a=q&b=q&c=q", "a=1&b=", {"a=1", "b=q", "c=q"}},
      // An empty query value removes the empty body field.
      {"POST", "application/x-www-form-urlencoded", "b=", "a=1&b=", {"a=1"}},
      // The query replaces the first entry of a name, in its own spelling,
      // and later entries of the name take the new first value.
      {"POST", "application/x-www-form-urlencoded", "A=q", "a=&a=2", {"A=q", "a=q"}},
      // After a removal the next entry of the name is the first one.
      {"POST", "application/x-www-form-urlencoded", "a=&a=q", "a=&a=2", {"a=2"}},
      // Appended entries come after the body's, and later query fields see them.
      {"POST", "application/x-www-form-urlencoded", "c=1&c=&c=2&d=4", "a=1", {"a=1", "c=1", "d=4"}},
      {"POST",
       "multipart/form-data; boundary=XX",
       "q=1",
       "--XX\r\nContent-Disposition: form-data; name=\"m\"\r\n\r\nv\r\n--XX--\r\n",
       {"m=v"}},
      // Fields without a name or without "=" are not request fields.
      {"GET", "", "=x&flag&n=%C3%A9", "", {"n=\xe9"}},
      // Not UTF-8: the value becomes empty.
      {"GET", "", "n=%E9", "", {"n="}},
  };
  for (const auto& c : cases) {
    std::map<std::string, std::string> env = {{"REQUEST_METHOD", c.method}, {"QUERY_STRING", c.query}};
    if (*c.content_type) {
      env["CONTENT_TYPE"] = c.content_type;
      env["CONTENT_LENGTH"] = std::to_string(strlen(c.body));
    }
    RequestFixture f(env, c.body);
    auto context = f.Context();
    EXPECT_EQ(context->RequestFields().Items(), c.fields) << c.method << " " << c.query;
  }
}

// The request fields as a plain reading of their rules, one linear lookup
// after the other: the yardstick for lists long enough to be looked up
// through their name index.
std::vector<std::string> ReferenceRequestFields(std::vector<std::string> source, const std::vector<std::string>& query) {
  auto name_of = [](const std::string& s) { return s.substr(0, s.find('=')); };
  auto find = [&](const std::vector<std::string>& list, const std::string& name) -> int {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].find('=') != std::string::npos && SameText(name_of(list[i]), name)) return static_cast<int>(i);
    return -1;
  };
  auto value_at = [](const std::vector<std::string>& list, int at) {
    return at < 0 ? std::string() : list[at].substr(list[at].find('=') + 1);
  };
  for (const std::string& field : query) {
    if (field.find('=') == std::string::npos || name_of(field).empty()) continue;
    std::string name = name_of(field), value = field.substr(field.find('=') + 1);
    int at = find(source, name);
    if (!value_at(source, at).empty()) continue;
    if (at >= 0 && value.empty())
      source.erase(source.begin() + at);
    else if (at >= 0)
      source[at] = name + "=" + value;
    else if (!value.empty())
      source.push_back(name + "=" + value);
  }
  std::vector<std::string> out;
  for (const std::string& entry : source)
    if (entry.find('=') != std::string::npos && !name_of(entry).empty())
      out.push_back(name_of(entry) + "=" + value_at(source, find(source, name_of(entry))));
  return out;
}

TEST(RequestFields, LongListsFollowTheRulesOfShortOnes) {
  // Few names in varying case, many empty values and entries without "=":
  // every replacement, removal and append of the merge happens often.
  const char* names[] = {"a", "A", "b", "B", "c", "d", "", "ee"};
  const char* values[] = {"", "", "1", "x"};
  unsigned seed = 12345;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  auto random_fields = [&](size_t count, std::vector<std::string>& fields) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
      std::string field = next(10) == 0 ? std::string("flag") : std::string(names[next(8)]) + "=" + values[next(4)];
      fields.push_back(field);
      text += (text.empty() ? "" : "&") + field;
    }
    return text;
  };
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> body_fields, query_fields;
    std::string body = random_fields(20 + next(40), body_fields);
    std::string query = random_fields(next(40), query_fields);
    RequestFixture f({{"REQUEST_METHOD", "POST"},
                      {"QUERY_STRING", query},
                      {"CONTENT_TYPE", "application/x-www-form-urlencoded"},
                      {"CONTENT_LENGTH", std::to_string(body.size())}},
                     body);
    auto context = f.Context();
    ASSERT_EQ(context->RequestFields().Items(), ReferenceRequestFields(body_fields, query_fields))
        << "body " << body << " query " << query;
  }
}

TEST(RequestContext, ReadsParametersAndCookies) {
  struct Case {
    const char* query;
    int initial_rows;
    int rows;
  } cases[] = {{"rows=10", 25, 10}, {"rows=0", 25, 25}, {"rows=-3", 25, 25}, {"", 0, 25}, {"rows=x", 30, 30}};
  for (const auto& c : cases) {
    RequestFixture f(Env{{"QUERY_STRING", c.query}});
    f.options.initial_table_rows = c.initial_rows;
    EXPECT_EQ(f.Context()->rows, c.rows) << c.query;
  }
  RequestFixture f(Env{{"QUERY_STRING", "LANG=eng&logout=1&item_no=7"},
                       {"HTTP_COOKIE", std::string(kSessionCookie) + "; ZNKCGIUSERID=logged_out"}});
  auto context = f.Context();
  EXPECT_EQ(context->lang, "eng");
  EXPECT_EQ(context->logout, "1");
  EXPECT_EQ(context->item_no, "7");
  EXPECT_EQ(context->SessionID(), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
  EXPECT_EQ(context->GetUserID(), "");
  RequestFixture bad(Env{{"HTTP_COOKIE", "ZNKSESSIONID=%7bZZZZZZZZ-8B86-D011-B42D-00C04FC964FF%7d"}});
  EXPECT_EQ(bad.Page("[<#tag_sessionid>]"), "[]");
}

TEST(BaseURL, PortsHostsAndFixedBase) {
  struct Case {
    const char* host;
    const char* server_port;
    int port, ssl_port;
    const char* protocol;
    const char* base;
    const char* url;
  } cases[] = {
      {"portal.example", "80", 0, 0, "", "", "http://portal.example/cgi/tessaro.cgi"},
      {"portal.example", "8080", 0, 0, "", "", "http://portal.example:8080/cgi/tessaro.cgi"},
      {"portal.example:8080", "8080", 0, 0, "", "", "http://portal.example:8080/cgi/tessaro.cgi"},
      {"portal.example", "443", 0, 443, "", "", "https://portal.example/cgi/tessaro.cgi"},
      {"portal.example", "80", 80, 443, "https", "", "https://portal.example/cgi/tessaro.cgi"},
      {"portal.example", "443", 80, 443, "http", "", "http://portal.example/cgi/tessaro.cgi"},
      {"portal.example", "80", 8000, 8443, "https", "", "https://portal.example:8443/cgi/tessaro.cgi"},
      {"portal.example", "80", 0, 0, "", "None", ""},
      {"portal.example", "80", 0, 0, "", "https://fixed.example/p.cgi", "https://fixed.example/p.cgi"},
  };
  for (const auto& c : cases) {
    RequestFixture f(Env{{"HTTP_HOST", c.host}, {"SERVER_PORT", c.server_port}});
    f.options.Port = c.port;
    f.options.SSLPort = c.ssl_port;
    f.options.script_base_url = c.base;
    EXPECT_EQ(BaseURL(*f.request, f.options, c.protocol, false), c.url) << c.host << " " << c.server_port;
  }
  RequestFixture f(Env{{"PATH_INFO", "/Page"}, {"QUERY_STRING", "ID=x&logout=1&actionresult=2&b=3"}});
  EXPECT_EQ(CurrentURL(*f.request, f.options), "http://portal.example/cgi/tessaro.cgi/Page?ID=x&b=3");
  f.options.script_base_url = "https://fixed.example/p.cgi";
  EXPECT_EQ(CurrentURL(*f.request, f.options), "https://fixed.example/p.cgi/Page?ID=x&b=3");
}

TEST(CurrentURL, ThePathIsEncodedAgainAndTheQueryKeptAsSent) {
  // The server decoded the path ("/a b?#%"); the query arrives encoded.
  RequestFixture f(Env{{"PATH_INFO", "/Page/a b?#%\"<\xc4\x8d"}, {"QUERY_STRING", "x=%22&y=a+b"}});
  EXPECT_EQ(CurrentURL(*f.request, f.options),
            "http://portal.example/cgi/tessaro.cgi/Page/a%20b%3F%23%25%22%3C%C4%8D?x=%22&y=a+b");
}

// Host, path and query come from the visitor; the tags escape them for markup.
TEST(GenericTags, AddressTagsAreEscaped) {
  RequestFixture f(
      Env{{"HTTP_HOST", "h\"><x"}, {"PATH_INFO", "/Page"}, {"QUERY_STRING", "q=\"><x&a='1'"}, {"REMOTE_ADDR", "<x>"}});
  EXPECT_EQ(f.Page("<#tag_currenturl>"),
            "http://h&quot;&gt;&lt;x/cgi/tessaro.cgi/Page?q=&quot;&gt;&lt;x&amp;a=&#39;1&#39;");
  EXPECT_EQ(f.Page("<#tag_requestscript>"), "http://h&quot;&gt;&lt;x/cgi/tessaro.cgi");
  EXPECT_EQ(f.Page("<#tag_reqip>"), "&lt;x&gt;");
}

TEST(QueryFields, StripRemovesTheFirstFieldOfEachName) {
  EXPECT_EQ(StripQueryFields("", "a"), "");
  EXPECT_EQ(StripQueryFields("a=1&b=2&A=3", "a"), "b=2&A=3");
  EXPECT_EQ(StripSystemFields("LOGOUT=1&x=2&locationreferer=u"), "x=2");
  EXPECT_EQ(StripSystemFields("logout=1"), "");
}

TEST(ResolveTemplatePath, RelativeNamesAreTakenBelowTheTemplateFolderThenTheProgram) {
  TWebAppOptions options;
  EXPECT_EQ(ResolveTemplatePath(options, "/abs/page.html"), "/abs/page.html");
  EXPECT_EQ(ResolveTemplatePath(options, "\\abs\\page.html"), "/abs/page.html");
  EXPECT_EQ(ResolveTemplatePath(options, "page.html"), ModuleDir() + "page.html");
  options.path_to_templates = "/srv/templates";
  EXPECT_EQ(ResolveTemplatePath(options, "sub\\page.html"), "/srv/templates/sub/page.html");
  options.path_to_templates = "templates/";
  EXPECT_EQ(ResolveTemplatePath(options, "page.html"), ModuleDir() + "templates/page.html");
}

TEST(SessionCode, ChecksumAndCodes) {
  EXPECT_EQ(SessionChecksum(""), 0u);
  EXPECT_EQ(SessionChecksum(std::string(1, '\0')), 0x4EF740B4u);
  EXPECT_EQ(SessionChecksum("123456789"), 0x7EAD5C77u);
  const std::string sid = "{6F9619FF-8B86-D011-B42D-00C04FC964FF}";
  EXPECT_EQ(SessionCode(sid, 0), 1693);
  EXPECT_EQ(SessionCode(sid, 46000), 4292);
  EXPECT_EQ(SessionCode(sid, 46365), 3206);
  EXPECT_EQ(SessionCode(sid, -1), 1418);
  EXPECT_EQ(SessionCode("", 46365), 999);
}

TEST(GenericTags, RequestValuesAddressesAndCase) {
  RequestFixture f(Env{{"QUERY_STRING", "Name=a%3Cb%3E%26c&n=%C4%8D"}, {"REMOTE_ADDR", "10.1.2.3"}});
  struct Case {
    const char* tmpl;
    std::string page;
  } cases[] = {
      {"<#TAG_PARAM_name>", "a&lt;b&gt;&amp;c"},
      {"<#tag_param_n>", "\xc4\x8d"},  // converted to UTF-8 on the way out
      {"[<#tag_param_>]", "[]"},
      {"[<#tag_param_missing>]", "[]"},
      {"<#tag_reqip>", "10.1.2.3"},
      {"[<#TAG_REQIP>]", "[]"},
      {"<#tag_requestscript>", "http://portal.example/cgi/tessaro.cgi"},
      {"[<#tag_navigator>][<#tag_filter_control>][<#tag_table_content>]", "[][][]"},
      {"[<#tag_unknown>]", "[]"},
  };
  for (const auto& c : cases) EXPECT_EQ(f.Page(c.tmpl), c.page) << c.tmpl;
}

TEST(GenericTags, BannersAreExpandedOnceAndFixedTagsComeFirst) {
  RequestFixture f(Env{{"REMOTE_ADDR", "10.1.2.3"}});
  f.options.global_banners.Add("tag_hello=<b><#tag_reqip></b>");
  f.options.global_banners.Add(" ;tag_comment=x");
  f.options.global_banners.Add("tag_current_date=no date");
  f.options.global_banners.Add("tag_sessionid=not the session");
  EXPECT_EQ(f.Page("<#tag_hello>|<#tag_comment>|<#tag_current_date>|<#tag_sessionid>"), "<b>10.1.2.3</b>||no date|");
}

TEST(GenericTags, IncludesAreExpandedAndBounded) {
  auto dir = std::filesystem::temp_directory_path() / ("tessaro-include-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "part.html") << "one <#tag_reqip>\ntwo";
  std::ofstream(dir / "loop.html") << "<#tag_include file=loop.html>";
  RequestFixture f(Env{{"REMOTE_ADDR", "1.2.3.4"}});
  f.options.path_to_templates = dir.string();
  EXPECT_EQ(f.Page("[<#tag_include file=\"part.html\">]"), "[one 1.2.3.4\r\ntwo\r\n]");
  EXPECT_EQ(f.Page("[<#tag_include file=missing.html>]"), "[]");
  EXPECT_THROW(f.Page("<#tag_include file=loop.html>"), Exception);
  std::filesystem::remove_all(dir);
}

TEST(GenericTags, IncludesReadOnlyRegularFilesOfBoundedSize) {
  auto dir = std::filesystem::temp_directory_path() / ("tessaro-include-kinds-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "folder.html");
  ASSERT_EQ(mkfifo((dir / "fifo.html").c_str(), 0600), 0);
  std::ofstream(dir / "huge.html");
  std::filesystem::resize_file(dir / "huge.html", kMaxIncludeBytes + 1);
  RequestFixture f(Env{});
  f.options.path_to_templates = dir.string();
  EXPECT_EQ(f.Page("[<#tag_include file=fifo.html>]"), "[]");  // and does not wait for a writer
  EXPECT_EQ(f.Page("[<#tag_include file=folder.html>]"), "[]");
  try {
    f.Page("<#tag_include file=huge.html>");
    ADD_FAILURE() << "an include over the cap was read";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("is too large"), std::string::npos) << e.Message();
  }
  std::filesystem::remove_all(dir);
}

TEST(GenericTags, DatesFollowThePatternGiven) {
  RequestFixture f(Env{});
  std::string today = f.Page("<#tag_current_date format=yyyy-mm-dd>");
  ASSERT_EQ(today.size(), 10u) << today;
  EXPECT_EQ(today[4], '-');
  std::string czech = f.Page("<#tag_current_date>");
  EXPECT_NE(czech.find('.'), std::string::npos) << czech;
}

TEST(SimplePage, TemplateComesFromTheSimplePagesList) {
  auto dir = std::filesystem::temp_directory_path() / ("tessaro-simple-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "hello.html") << "Hello <#tag_param_who>";
  RequestFixture f(Env{{"QUERY_STRING", "ID=hi&who=you"}});
  f.options.path_to_templates = dir.string();
  f.options.simple_pages_ids.Add("hi=hello.html");
  auto context = f.Context<TSimplePageContext>();
  TDataSetPageProducer producer;
  EXPECT_EQ(context->Produce(producer), "Hello you");
  // An ID the list does not name resolves to the folder itself.
  RequestFixture unknown(Env{{"QUERY_STRING", "ID=nope"}});
  unknown.options.path_to_templates = dir.string();
  auto missing = unknown.Context<TSimplePageContext>();
  EXPECT_THROW(missing->Produce(producer), Exception);
  std::filesystem::remove_all(dir);
}

TEST(RequestContext, InvalidContextRefusesToProduce) {
  struct Refusing : tRequestContext {
    using tRequestContext::tRequestContext;
    void InitContext() override { valid_ = false; }
  };
  RequestFixture f(Env{});
  auto context = MakeContext<Refusing>(f.request.get(), &f.options, f.response.get());
  TPageProducer producer;
  EXPECT_THROW(
      {
        try {
          context->Produce(producer);
        } catch (const Exception& e) {
          EXPECT_STREQ(e.what(), "bad context initialization");
          throw;
        }
      },
      Exception);
}

}  // namespace
}  // namespace tessaro
