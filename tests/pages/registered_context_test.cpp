// The logged-in visitor's contexts over a small model: who counts as logged
// in, the role's menu, the account tags, the notice board, the account list
// for action handlers, and the address the visitor came from.
#include "pages/registered_context.h"

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

  // A main page context for a request with these cookies and extra variables.
  std::unique_ptr<TTessaroMainPageContext> Page(const std::string& cookies,
                                                std::map<std::string, std::string> extra = {}) {
    std::map<std::string, std::string> env{{"REQUEST_METHOD", "GET"}, {"HTTP_HOST", "h"},     {"SERVER_PORT", "80"},
                                           {"SCRIPT_NAME", "/p.cgi"},  {"PATH_INFO", "/main"}, {"HTTP_COOKIE", cookies}};
    for (auto& [k, v] : extra) env[k] = v;
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), -1);
    response = std::make_unique<TWebResponse>(*request, -1);
    return MakeContext<TTessaroMainPageContext>(request.get(), &options, response.get());
  }
  std::unique_ptr<TTessaroMainPageContext> LoggedIn(std::map<std::string, std::string> extra = {}) {
    return Page("ZNKCGIUSERID=" + EncodeID(kAccount), std::move(extra));
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

TEST_F(Portal, AccountParamsCarryTheCatalogAndTextParameters) {
  auto page = LoggedIn();
  EXPECT_EQ(page->ircDefaultCatalog(), "firma");
  const TStrings& params = page->ircGetAccountParams();
  ASSERT_EQ(params.Count(), 6);
  EXPECT_EQ(params[0], "#AccountE_mail=");
  EXPECT_EQ(params[1], "#AccountName=Jan <Novak>");
  EXPECT_EQ(params[4], "#CatalogName=firma");
  EXPECT_EQ(params[5], "#detApplicationRoleID={R}");
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

}  // namespace
}  // namespace tessaro
