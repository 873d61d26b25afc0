// The logged-in visitor's contexts over a small model: who counts as logged
// in, the role's menu, the account tags, the notice board, the account list
// for action handlers, and the address the visitor came from.
#include "pages/registered_context.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cgi/url_encoding.h"
#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "model/application_role.h"
#include "db/odbc_connection.h"
#include "model/application_type.h"
#include "model/connection_manager.h"
#include "model/global_settings.h"
#include "model/evidence_item.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "model/user_override_application_role.h"
#include "model/user_override_evidence_item.h"
#include "pages/main_page_context.h"
#include "tessaro/registered_context.h"
#include "util/codepage.h"
#include "util/base64.h"
#include "util/exception.h"
#include "util/identifiers.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

const std::string kAccount = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::string kNoRole = "{11111111-2222-3333-4444-555555555555}";

// One application type, a role "R" with items B (order 2), A (order 1) and
// C (order 3), an account in the role and one without a role.
class Portal : public ::testing::Test {
 protected:
  void SetUp() override {
    TInetMgrModel& model = *options.Model;
    auto* type = Add<TApplicationType>(model.ApplicationTypes(), "{T}");
    type->DisplayLabel = "Sklad & <spol>";
    role = Add<TApplicationRole>(model.ApplicationRoles(), "{R}");
    role->detApplicationTypeID = "{T}";
    role->RoleName = "Obchodnik";
    for (const auto& [id, name, order] : {std::tuple{"{B}", "Beta", 2}, {"{A}", "Alfa", 1}, {"{C}", "<b>Gama</b>", 3}}) {
      auto* item = Add<TEvidenceItem>(model.EvidenceItems(), id);
      item->detApplicationRoleID = "{R}";
      item->EvidenceName = name;
      item->OrderInList = order;
    }
    auto* account = Add<TUserAccount>(model.UserAccounts(), kAccount);
    account->detApplicationRoleID = "{R}";
    account->AccountName = "Jan <Novak>";
    account->Username = "jan";
    account->Password = "heslo";
    account->CatalogName = "firma";
    Add<TUserAccount>(model.UserAccounts(), kNoRole)->Username = "nikdo";
    model.LinkAll();
    model.AfterLoadAll();
    options.ShowListPath = "/ShowList";
    options.table_empty = "(nic)";
  }

  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }

  // A main page context for a request with these cookies, extra variables
  // and body.
  std::unique_ptr<TTessaroMainPageContext> Page(const std::string& cookies,
                                                std::map<std::string, std::string> extra = {},
                                                const std::string& body = "") {
    std::map<std::string, std::string> env{{"REQUEST_METHOD", "GET"}, {"HTTP_HOST", "h"},     {"SERVER_PORT", "80"},
                                           {"SCRIPT_NAME", "/p.cgi"},  {"PATH_INFO", "/main"}, {"HTTP_COOKIE", cookies}};
    for (auto& [k, v] : extra) env[k] = v;
    int body_fd = -1;
    if (!body.empty()) {
      int fds[2];
      if (pipe(fds) != 0 || write(fds[1], body.data(), body.size()) != static_cast<ssize_t>(body.size())) std::abort();
      close(fds[1]);
      body_fd = fds[0];
      env["CONTENT_LENGTH"] = std::to_string(body.size());
    }
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), body_fd);
    if (body_fd >= 0) close(body_fd);
    response = std::make_unique<TWebResponse>(*request, -1);
    return MakeContext<TTessaroMainPageContext>(request.get(), &options, response.get());
  }
  std::unique_ptr<TTessaroMainPageContext> LoggedIn(std::map<std::string, std::string> extra = {},
                                                    const std::string& body = "") {
    return Page("ZNKCGIUSERID=" + EncodeID(kAccount), std::move(extra), body);
  }
  static std::string Tag(TTessaroMainPageContext& context, const std::string& name) {
    TPageProducer producer;
    TStrings doc;
    doc.Add("<#" + name + ">");
    producer.SetHTMLDoc(doc);
    std::string page = context.Produce(producer);
    return page.substr(0, page.size() - 2);
  }

  TTessaroOptions options;
  TApplicationRole* role = nullptr;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
};

TEST_F(Portal, OnlyAnAccountWithARoleIsLoggedIn) {
  const struct {
    std::string cookies;
    bool logged_in;
  } cases[] = {
      {"ZNKCGIUSERID=" + EncodeID(kAccount), true},
      {"", false},
      {"ZNKCGIUSERID=" + EncodeID(kNoRole), false},                     // an account without a role
      {"ZNKCGIUSERID=" + EncodeID(kAccount).substr(1), false},          // 31 characters
      {"ZNKCGIUSERID=" + EncodeID(kAccount) + "0", false},              // 33 characters
      {"ZNKCGIUSERID=" + EncodeID("{99999999-2222-3333-4444-555555555555}"), false},  // no such account
      {"ZNKCGIUSERID=%00%ff%22%3c", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cookies);
    auto page = Page(c.cookies);
    EXPECT_EQ(page->LoginNeeded(), !c.logged_in);
    EXPECT_EQ(page->Valid(), c.logged_in);
    EXPECT_EQ(page->Account() != nullptr, c.logged_in);
    if (c.logged_in) {
      EXPECT_EQ(page->GetUserID(), kAccount);
    }
  }
}

TEST_F(Portal, AccountTagsAreEscapedAndFollowTheRoleOverride) {
  auto page = LoggedIn();
  EXPECT_EQ(Tag(*page, "tag_account_name"), "Jan &lt;Novak&gt;");
  EXPECT_EQ(Tag(*page, "TAG_USER_ROLE"), "Obchodnik");
  EXPECT_EQ(Tag(*page, "tag_catalog_type"), "Sklad &amp; &lt;spol&gt;");
  role->UserOverride(true)->RoleName = "Prodejce \"A\"";
  EXPECT_EQ(Tag(*page, "tag_user_role"), "Prodejce &quot;A&quot;");
}

// Names are the administrators' markup; the address carries the request's
// host and is escaped.
TEST_F(Portal, MenuListsVisibleItemsInOrderWithTheActiveOneMarked) {
  auto page = LoggedIn();
  auto entry = [](const std::string& id, const std::string& name, const std::string& attributes = "") {
    return "<li" + attributes + "><A HREF=\"http://h/p.cgi/ShowList?ID=" + id + "\">" + name + "</A></li>\r";
  };
  EXPECT_EQ(Tag(*page, "tag_evidence_list"), entry("{A}", "Alfa") + entry("{B}", "Beta") + entry("{C}", "<b>Gama</b>"));
  options.class_aktivni = "akt";
  EXPECT_EQ(page->EvidenceListHTML("/X", "beta"),
            "<li><A HREF=\"http://h/p.cgi/X?ID={A}\">Alfa</A></li>\r"
            "<li class=\"akt\"><A HREF=\"http://h/p.cgi/X?ID={B}\">Beta</A></li>\r"
            "<li><A HREF=\"http://h/p.cgi/X?ID={C}\"><b>Gama</b></A></li>\r");

  TEvidenceItem* beta = static_cast<TEvidenceItem*>(options.Model->EvidenceItems().FindByInstanceID("{B}"));
  beta->UserOverride(true)->Visible = false;
  TEvidenceItem* alfa = static_cast<TEvidenceItem*>(options.Model->EvidenceItems().FindByInstanceID("{A}"));
  alfa->UserOverride(true)->EvidenceName = "Prvni";
  EXPECT_EQ(Tag(*page, "tag_evidence_list"), entry("{A}", "Prvni") + entry("{C}", "<b>Gama</b>"));

  auto hostile = LoggedIn({{"HTTP_HOST", "h\"><script>"}});
  EXPECT_EQ(Tag(*hostile, "tag_evidence_list").find("<script>"), std::string::npos);
}

TEST_F(Portal, RoleWithoutItemsShowsTheEmptyTableText) {
  while (role->EvidenceItems().Count() > 0) role->EvidenceItems().Items(0)->Delete();
  auto page = LoggedIn();
  EXPECT_EQ(Tag(*page, "tag_evidence_list"), "(nic)");
}

TEST_F(Portal, BoardJoinsTheOptionsAndTheRolesNotice) {
  const struct {
    std::vector<std::string> all, own;
    std::string board;
  } cases[] = {
      {{}, {}, ""},
      {{"  Vitejte", "druhy radek  "}, {}, "Vitejte<br>druhy radek"},
      {{}, {"<b>Jen</b> role"}, "<b>Jen</b> role"},
      {{"Vsem"}, {"Roli", "dva"}, "Vsem<br>Roli<br>dva"},
  };
  for (const auto& c : cases) {
    options.BlackBoard_RegisteredUsers.Clear();
    for (const auto& line : c.all) options.BlackBoard_RegisteredUsers.Add(line);
    if (auto* own = role->UserOverride(false)) own->Delete();
    if (!c.own.empty())
      for (const auto& line : c.own) role->UserOverride(true)->BlackBoard.Add(line);
    auto page = LoggedIn();
    EXPECT_EQ(Tag(*page, "tag_board"), c.board);
  }
}

TEST_F(Portal, AccountParamsCarryTheCatalogAndEveryKindOfValue) {
  TUserAccount& account = *options.Model->UserAccounts().FindByCredentials("jan", "heslo");
  const std::pair<const char*, TVariant> values[] = {
      {"CID", TVariant::Integer(42)},        {"SLEVA", TVariant::Float(2.5)},
      {"MESTO", TVariant::String("Brno")},   {"PRAZDNY", TVariant::String("")},
      {"NIC", TVariant()},                   {"VIP", TVariant::Boolean(true)},
      {"OD", TVariant::Date(45658)},         {"DO", TVariant::Date(45658.5)},
  };
  for (const auto& [name, value] : values) {
    TAccountParameter& parameter = account.ParameterValues.Add();
    parameter.Name = name;
    parameter.Value = value;
  }
  auto page = LoggedIn();
  EXPECT_EQ(page->ircDefaultCatalog(), "firma");
  const TStrings& params = page->ircGetAccountParams();
  ASSERT_EQ(params.Count(), 12);
  EXPECT_EQ(params[0], "#AccountE_mail=");
  EXPECT_EQ(params[1], "#AccountName=Jan <Novak>");
  EXPECT_EQ(params[4], "#CatalogName=firma");
  EXPECT_EQ(params[5], "#detApplicationRoleID={R}");
  // Null and empty values are left out; the rest as text, in list order.
  const std::vector<std::string> rest(params.Items().begin() + 6, params.Items().end());
  EXPECT_EQ(rest, (std::vector<std::string>{"CID=42", "SLEVA=2,5", "MESTO=Brno", "VIP=True", "OD=1.1.2025",
                                            "DO=1.1.2025 12:00:00"}));
  EXPECT_NE(page->ircGetOptionsFields().Values("table_empty"), "");
}

// The page to go back to is visitor input: only addresses of this portal.
TEST_F(Portal, RefererStaysOnThePortal) {
  const struct {
    std::string referer;         // HTTP_REFERER
    std::string locationreferer; // the query key, before Base64
    std::string expected;
  } cases[] = {
      {"http://h/p.cgi/ShowList?ID=1&logout=1", "", "http://h/p.cgi/ShowList?ID=1"},
      {"", " \"http://h/p.cgi/ShowDetail?ID=2\" ", "http://h/p.cgi/ShowDetail?ID=2"},
      {"http://h/p.cgi", "", "http://h/p.cgi"},
      {"http://evil/p.cgi/main", "", ""},
      {"http://h.evil/p.cgi/main", "", ""},
      {"http://h/p.cgix/main", "", ""},
      {"https://h/p.cgi/main", "", ""},
      {"", "javascript:alert(1)", ""},
      {"", "http://h/p.cgi/main\r\nSet-Cookie: x=1", ""},
      {"", std::string(3000, 'A'), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.referer + "|" + c.locationreferer);
    std::map<std::string, std::string> extra{{"HTTP_REFERER", c.referer}};
    if (!c.locationreferer.empty()) extra["QUERY_STRING"] = "locationreferer=" + UrlEncode(Base64Encode(c.locationreferer));
    EXPECT_EQ(LoggedIn(extra)->RefererURL(), c.expected);
  }
}

// The visitor's connection is switched to the account's catalog; queries run
// on it through OpenDataSet, and a database that cannot be opened fails with
// the database's error.
TEST_F(Portal, DataSetsRunOnTheAccountsCatalogConnection) {
  auto db = std::filesystem::temp_directory_path() / ("tessaro-pages-" + std::to_string(getpid()) + ".db");
  TConnectionManager& user = T_GlobalSettings::Instance().UserConnection();
  user.R_ConnectionString = "Driver=SQLite3;Database=" + db.string();
  struct Forget {
    std::filesystem::path db;
    ~Forget() {
      T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget);
      std::filesystem::remove(db);
    }
  } forget{db};

  auto page = LoggedIn();
  EXPECT_THROW(page->OpenDataSet("select 1", clUseServer, ctOpenForwardOnly), Exception);
  page->OpenConnection(true);
  auto* connection = dynamic_cast<TOdbcConnection*>(page->Connection());
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->DefaultDatabase(), "firma");

  const_cast<TUserAccount*>(page->Account())->CatalogName.clear();
  auto fresh = LoggedIn();
  fresh->OpenConnection(true);
  auto rows = fresh->OpenDataSet("select 41 + 1 as answer", clUseServer, ctOpenForwardOnly);
  EXPECT_EQ(rows->FieldByName("answer").AsString(), "42");

  user.R_ConnectionString = "Driver=SQLite3;Database=/nonexistent-folder/none.db;PWD=tajne";
  auto broken = LoggedIn();
  broken->OpenConnection(true);
  try {
    broken->OpenDataSet("select 1", clUseServer, ctOpenForwardOnly);
    ADD_FAILURE() << "a missing database opened";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()).find("tajne"), std::string::npos) << e.what();
  }
}

// The sample plug-in (plain C, built against the public header only) gets the
// table of a visitor's context and writes what every function answered.
class PluginContext : public Portal {
 protected:
  void SetUp() override {
    Portal::SetUp();
    handle = dlopen(TESSARO_SAMPLE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    describe = reinterpret_cast<DescribeFunction>(dlsym(handle, "tessaro_sample_describe"));
    ASSERT_NE(describe, nullptr) << dlerror();
  }
  void TearDown() override {
    T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget);
    if (handle) dlclose(handle);
  }
  // The plug-in's report on `page`, one line per function.
  std::string Report(TTessaroMainPageContext& page) {
    std::vector<char> out(64 * 1024);
    EXPECT_EQ(describe(page.PluginInterface(), out.data(), out.size()), TESSARO_S_OK);
    return out.data();
  }
  static std::string Line(const std::string& report, const std::string& name) {
    size_t at = report.find("\n" + name + "=");
    if (at == std::string::npos) return "(missing " + name + ")";
    at += name.size() + 2;
    return report.substr(at, report.find('\n', at) - at);
  }

  using DescribeFunction = int32_t (*)(TessaroRegisteredContext*, char*, size_t);
  void* handle = nullptr;
  DescribeFunction describe = nullptr;
};

TEST_F(PluginContext, SeesTheVisitorInUtf8AndTheUploadedFiles) {
  TConnectionManager& user = T_GlobalSettings::Instance().UserConnection();
  user.CommandTimeout = 33;
  user.R_ConnectionString = Cp1250("Driver=SQLite3;Database=čtení.db");
  user.RW_ConnectionString = "Driver=SQLite3;Database=rw.db";
  auto* account = const_cast<TUserAccount*>(
      static_cast<const TUserAccount*>(options.Model->UserAccounts().FindByInstanceID(kAccount)));
  account->AccountName = Cp1250("Jiří Čech");
  account->CatalogName = Cp1250("účetní");
  options.table_empty = Cp1250("Žádné záznamy");
  const std::string body =
      "--XX\r\nContent-Disposition: form-data; name=\"poznamka\"\r\n\r\n\xc5\xbelu\xc5\xa5ou\xc4\x8dk\xc3\xbd\r\n"
      "--XX\r\nContent-Disposition: form-data; name=\"priloha\"; filename=\"zpr\xc3\xa1va.txt\"\r\n"
      "Content-Type: text/plain\r\n\r\nabcdefgh\r\n"
      "--XX\r\nContent-Disposition: form-data; name=\"druha\"; filename=\"k\xe9\"\r\n\r\n\r\n"
      "--XX--\r\n";
  auto page = LoggedIn({{"REQUEST_METHOD", "POST"},
                        {"CONTENT_TYPE", "multipart/form-data; boundary=XX"},
                        {"REMOTE_ADDR", "10.0.0.5"},
                        {"HTTP_COOKIE", "ZNKCGIUSERID=" + EncodeID(kAccount) + "; ZNKSESSIONID=" + kNoRole}},
                       body);
  ASSERT_TRUE(page->Valid());
  const std::string report = Report(*page);
  SCOPED_TRACE(report);
  EXPECT_EQ(report.substr(0, report.find('\n')), "{B92CF036-1896-4EDF-A676-31EC9EB08002}");
  EXPECT_EQ(Line(report, "CommandTimeout"), "33");
  EXPECT_EQ(Line(report, "ConnectionString(ro)"), "Driver=SQLite3;Database=čtení.db");
  EXPECT_EQ(Line(report, "ConnectionString(rw)"), "Driver=SQLite3;Database=rw.db");
  EXPECT_EQ(Line(report, "DefaultCatalog"), "účetní");
  EXPECT_EQ(Line(report, "AccountParams"),
            "#AccountE_mail=|#AccountName=Jiří Čech|#Username=jan|#Password=heslo|#CatalogName=účetní|"
            "#detApplicationRoleID={R}");
  EXPECT_EQ(Line(report, "FilesCount"), "2");
  // field;name;size;bytes read in pieces;the last byte after a seek from the end
  EXPECT_EQ(Line(report, "file0"), "priloha;zpráva.txt;8;abcdefgh;h");
  EXPECT_EQ(Line(report, "file1"), "druha;ké;0;");  // a name not in UTF-8 arrives read as windows-1250
  EXPECT_EQ(Line(report, "file2"), ";;0;");         // past the last file
  EXPECT_EQ(Line(report, "file-1"), ";;0;");
  EXPECT_NE(Line(report, "OptionsFields").find("|table_empty=Žádné záznamy|"), std::string::npos);
  EXPECT_EQ(Line(report, "RequestFields"), "poznamka=žluťoučký");
  EXPECT_EQ(Line(report, "RemoteAddr"), "10.0.0.5");
  EXPECT_EQ(Line(report, "SessionID"), kNoRole);
  EXPECT_EQ(Line(report, "SessionIDHash"), std::to_string(page->ircSessionIDHash(7)));

  // Seeks outside the file are refused and leave the position alone.
  TessaroRegisteredContext* ctx = page->PluginInterface();
  TessaroStream* stream = ctx->vtbl->ircGetFile(ctx, 0);
  EXPECT_EQ(stream->seek(stream, 9, TESSARO_SEEK_SET), -1);
  EXPECT_EQ(stream->seek(stream, INT64_MIN, TESSARO_SEEK_END), -1);
  EXPECT_EQ(stream->seek(stream, 2, TESSARO_SEEK_SET), 2);
  EXPECT_EQ(stream->seek(stream, 1, 7), -1);
  char byte = 0;
  EXPECT_EQ(stream->read(stream, &byte, 1), 1);
  EXPECT_EQ(byte, 'c');
  EXPECT_EQ(stream->read(stream, nullptr, 1), -1);
}

// A failure inside the portal becomes an error result, never an exception
// crossing into the plug-in: a context without options cannot list them, and
// null out-pointers are refused.
TEST_F(PluginContext, FailuresBecomeErrorResults) {
  auto page = LoggedIn();
  TessaroRegisteredContext* ctx = page->PluginInterface();
  const TessaroStringList* list = nullptr;
  ASSERT_EQ(ctx->vtbl->ircGetOptionsFields(ctx, &list), TESSARO_S_OK);
  ASSERT_NE(list, nullptr);
  EXPECT_GT(list->count(list), 0);
  EXPECT_STREQ(list->item(list, list->count(list)), "");

  EXPECT_EQ(ctx->vtbl->ircDefaultCatalog(ctx, nullptr), TESSARO_E_UNEXPECTED);
  EXPECT_EQ(ctx->vtbl->ircSessionIDHash(ctx, 1, nullptr), TESSARO_E_UNEXPECTED);
  EXPECT_EQ(ctx->vtbl->ircGetAccountParams(nullptr, &list), TESSARO_E_UNEXPECTED);
  EXPECT_EQ(list, nullptr);

  auto bare = MakeContext<TTessaroMainPageContext>(request.get(), nullptr, response.get());
  const std::string report = Report(*bare);
  EXPECT_EQ(Line(report, "OptionsFields"), "E_UNEXPECTED ");
  EXPECT_EQ(Line(report, "DefaultCatalog"), "");  // no account: empty, not a failure
}

}  // namespace
}  // namespace tessaro
