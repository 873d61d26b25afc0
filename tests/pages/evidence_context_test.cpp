// The context of the record pages over a small model: which items a visitor
// may open, the macros of the SQL texts, every rule that gives a parameter
// its value (request, account, definitions, uploads), the action message, the
// trail cookies, and the binding of hostile and Czech values on SQLite and
// PostgreSQL.
#include "pages/evidence_context.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "cgi/url_encoding.h"
#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "db/odbc_command.h"
#include "db/odbc_dataset.h"
#include "db/parameters.h"
#include "context/page_producer.h"
#include "db/test_databases.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/global_settings.h"
#include "model/inet_mgr_model.h"
#include "model/param_def.h"
#include "model/param_type_def.h"
#include "model/user_account.h"
#include "model/user_override_evidence_item.h"
#include "util/base64.h"
#include "util/codepage.h"
#include "util/datetime.h"
#include "util/exception.h"
#include "util/identifiers.h"
#include "util/regional_settings.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

const std::string kAccount = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::string kSession = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const std::string kItem = "{AAAAAAAA-0000-0000-0000-000000000001}";

// A page of the item that answers with the record identifiers it is given.
class RecordPage : public TTessaroEvidenceContext {
 public:
  using TTessaroEvidenceContext::TTessaroEvidenceContext;
  std::string GetPID() const override { return pid; }
  std::string GetPID2() const override { return pid2; }
  bool KeepsHistory() const override { return keeps_history; }
  std::string pid, pid2;
  bool keeps_history = true;
};

// Role R with the item kItem (parameters: a date and a text filter, an
// account value, one without a type), an item of another role and a hidden
// item of R; one account in R.
class Evidence : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRegionalSettings();
    TInetMgrModel& model = *options.Model;
    Add<TApplicationType>(model.ApplicationTypes(), "{T}");
    for (const char* id : {"{R}", "{S}"}) Add<TApplicationRole>(model.ApplicationRoles(), id)->detApplicationTypeID = "{T}";
    for (const auto& [id, role] : {std::pair{kItem, "{R}"}, {"{OTHER}", "{S}"}, {"{HIDDEN}", "{R}"}}) {
      auto* item = Add<TEvidenceItem>(model.EvidenceItems(), id);
      item->detApplicationRoleID = role;
      item->EvidenceName = id;
    }
    auto* filter = Add<TParamTypeDef>(model.ParamTypeDefs(), "{FILTER}");
    filter->IsHtmlFilterParam = true;
    filter->HtmlFilterDefaultExpression = "\"vychozi\"";
    Add<TParamTypeDef>(model.ParamTypeDefs(), "{VALUE}");
    for (const auto& [id, name, type, data] :
         {std::tuple{"{P1}", "od", "{FILTER}", TFieldType::ftDate}, {"{P2}", "nazev", "{FILTER}", TFieldType::ftString},
          {"{P3}", "limit", "{VALUE}", TFieldType::ftInteger}, {"{P4}", "bez", "", TFieldType::ftString}}) {
      auto* def = Add<TParamDef>(model.ParamDefs(), id);
      def->detEvidenceItemID = kItem;
      def->ParamName = name;
      def->detParamTypeDefID = type;
      def->ParamDataType = data;
    }
    auto* account = Add<TUserAccount>(model.UserAccounts(), kAccount);
    account->detApplicationRoleID = "{R}";
    TAccountParameter& limit = account->ParameterValues.Add();
    limit.Name = "LIMIT";
    limit.DataType = TFieldType::ftLargeint;
    limit.Value = TVariant::Integer(5000000000);
    model.LinkAll();
    model.AfterLoadAll();
    dynamic_cast<TEvidenceItem*>(model.EvidenceItems().FindByInstanceID("{HIDDEN}"))->UserOverride(true)->Visible =
        false;
    options.ShowListPath = "/ShowList";
    options.ShowDetailPath = "/ShowDetail";
  }

public:
  // The item's page for the extra `query`.
  std::unique_ptr<RecordPage> Item(const std::string& query = "") { return Page("ID=" + UrlEncode(kItem) + query); }

 protected:
  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }

  // The page `path` for `query`, with the account's cookie and a session
  // (unless `cookies` replaces them), a body of `content_type` when given.
  std::unique_ptr<RecordPage> Page(const std::string& query, const std::string& cookies = "",
                                   const std::string& body = "", const std::string& content_type = "",
                                   const std::string& path = "/ShowDetail") {
    std::map<std::string, std::string> env{
        {"REQUEST_METHOD", body.empty() ? "GET" : "POST"}, {"HTTP_HOST", "h"}, {"SERVER_PORT", "80"},
        {"SCRIPT_NAME", "/p.cgi"}, {"PATH_INFO", path}, {"QUERY_STRING", query},
        {"HTTP_COOKIE", cookies.empty() ? "ZNKCGIUSERID=" + EncodeID(kAccount) + "; ZNKSESSIONID=" + kSession : cookies}};
    int fds[2];
    if (pipe(fds) != 0 || write(fds[1], body.data(), body.size()) != static_cast<ssize_t>(body.size())) std::abort();
    close(fds[1]);
    if (!body.empty()) {
      env["CONTENT_LENGTH"] = std::to_string(body.size());
      env["CONTENT_TYPE"] = content_type;
    }
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), fds[0]);
    close(fds[0]);
    response = std::make_unique<TWebResponse>(*request, -1);
    return MakeContext<RecordPage>(request.get(), &options, response.get());
  }
  // Parameters named `names` bound by `page`.
  static TParameters Bound(RecordPage& page, std::initializer_list<std::string> names) {
    TParameters params;
    for (const std::string& name : names) params.Add(TParameter()).Name = name;
    page.BindParams(params);
    return params;
  }

  TTessaroOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
};

TEST_F(Evidence, OnlyVisibleItemsOfTheVisitorsRoleOpen) {
  const struct {
    std::string query, cookies;
    bool opens;
  } cases[] = {
      {"ID=" + kItem, "", true},
      {"ID=" + LowerCase(kItem), "", false},  // identifiers match exactly
      {"ID={OTHER}", "", false},              // another role's item
      {"ID={HIDDEN}", "", false},             // hidden by the installation
      {"ID={NONE}", "", false},
      {"", "", false},
      {"ID=" + kItem, "ZNKSESSIONID=" + kSession, false},  // nobody logged in
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query + " / " + c.cookies);
    auto page = Page(UrlEncode(c.query).empty() ? "" : c.query, c.cookies);
    EXPECT_EQ(page->Valid(), c.opens);
    EXPECT_EQ(page->LoginNeeded(), !c.opens);
    EXPECT_EQ(page->EvidenceItem() != nullptr, c.opens);
    EXPECT_EQ(page->History() != nullptr, c.opens);
  }
}

TEST_F(Evidence, MacrosBecomeLiteralsOrNullAndCommentsGo) {
  auto page = Item();
  ASSERT_TRUE(page->Valid());
  EXPECT_EQ(page->PrepareSQL("select /* :SESSID */ x from t where s = :sessid.GUID and e=:EvidenceID and d=:DETAILID"),
            "select  x from t where s = '" + kSession + "' and e='" + kItem + "' and d=NULL");
  EXPECT_EQ(page->PrepareSQL("a"), "a");
  // A session cookie that is not of the portal's form never reaches the text.
  auto forged = Page("ID=" + kItem, "ZNKCGIUSERID=" + EncodeID(kAccount) + "; ZNKSESSIONID=x'%20or%20'1'='1");
  ASSERT_TRUE(forged->Valid());
  EXPECT_EQ(forged->PrepareSQL("s=:SESSID"), "s=NULL");
}

TEST_F(Evidence, EachParameterTakesItsValueByTheFirstRuleThatMatches) {
  auto page = Item("&Amount=12,5&n=42&g=" + UrlEncode(kSession) + "&t=abc&Total.Float=3&day=31.12.2024" +
                   "&od=1.2.2024&x=abc&PID=77");
  page->pid = "123";
  page->pid2 = kSession;
  struct Case {
    std::string name;
    TFieldType type;
    TVariant value;
  };
  const Case cases[] = {
      {"PID", TFieldType::ftInteger, TVariant::String("123")},
      {"pid2", TFieldType::ftGuid, TVariant::String(kSession)},
      {"PID.String", TFieldType::ftString, TVariant::String("123")},  // the suffix wins over the guess
      {"SESSID", TFieldType::ftGuid, TVariant::String(kSession)},
      {"EVIDENCEID.String", TFieldType::ftGuid, TVariant::String(kItem)},
      {"DETAILID", TFieldType::ftGuid, TVariant()},
      {"od", TFieldType::ftDate, TVariant::Date(EncodeDate(2024, 2, 1))},     // a filter from the request
      {"nazev", TFieldType::ftString, TVariant::String("vychozi")},           // a filter from its default
      {"limit", TFieldType::ftLargeint, TVariant::Integer(5000000000)},  // from the account
      {"Amount.Float", TFieldType::ftFloat, TVariant::Float(12.5)},
      {"Total.Float", TFieldType::ftFloat, TVariant::Integer(3)},  // the full name when the base is absent
      {"n", TFieldType::ftUnknown, TVariant::Integer(42)},
      {"g", TFieldType::ftGuid, TVariant::String(kSession)},
      {"t", TFieldType::ftUnknown, TVariant::String("abc")},
      {"day.Date", TFieldType::ftDate, TVariant::Date(EncodeDate(2024, 12, 31))},
      {"x.Integer", TFieldType::ftInteger, TVariant::String("abc")},  // not a number: the database refuses it
      {"none.Boolean", TFieldType::ftBoolean, TVariant::Boolean(false)},
      {"none", TFieldType::ftUnknown, TVariant()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TParameters params = Bound(*page, {c.name});
    EXPECT_EQ(params[0].DataType, c.type);
    EXPECT_EQ(params[0].Value, c.value);
  }

  // Without a record identifier PID is an ordinary parameter.
  page->pid.clear();
  EXPECT_EQ(Bound(*page, {"PID"})[0].Value, TVariant::Integer(77));

  // A Czech date binds whatever the regional short form is.
  RegionalSettings().ShortDateFormat = "M/d/yyyy";
  RegionalSettings().DateSeparator = '/';
  EXPECT_EQ(Bound(*page, {"day.Date"})[0].Value, TVariant::Date(EncodeDate(2024, 12, 31)));
  ResetRegionalSettings();
}

TEST_F(Evidence, DefinitionsWithoutTypeOrAccountValueFail) {
  auto page = Item();
  EXPECT_THROW(
      try { Bound(*page, {"bez"}); } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Unexpected. Param bez has not assigned type in the definition list");
        throw;
      },
      Exception);
  const_cast<TUserAccount*>(page->Account())->ParameterValues.Clear();
  EXPECT_THROW(
      try { Bound(*page, {"limit"}); } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Unknown value for param limit");
        throw;
      },
      Exception);
}

TEST_F(Evidence, UploadsBindWhereTheyLieAndLendTheirNames) {
  const std::string content(3 * 1024 + 5, 'x');
  const std::string body = "--XX\r\nContent-Disposition: form-data; name=\"ID\"\r\n\r\n" + kItem + "\r\n"
                           "--XX\r\nContent-Disposition: form-data; name=\"doc\"; filename=\"C:\\dir\\zpr\xC3\xA1va.txt\"\r\n"
                           "Content-Type: text/plain\r\n\r\n" + content + "\r\n"
                           "--XX\r\nContent-Disposition: form-data; name=\"img\"; filename=\"b.png\"\r\n\r\nPNG\r\n"
                           "--XX\r\nContent-Disposition: form-data; name=\"empty\"; filename=\"\"\r\n\r\n\r\n"
                           "--XX--\r\n";
  auto page = Page("", "", body, "multipart/form-data; boundary=XX");
  ASSERT_TRUE(page->Valid());
  TParameters params = Bound(*page, {"doc", "File_Filename_doc", "File_Fileext_doc", "File_Filepath_doc",
                                     "File_Filedir_doc", "File_ContentType_doc", "File_Filename_img", "img.Memo",
                                     "empty"});
  ASSERT_TRUE(params[0].HeldBytes.has_value());
  EXPECT_EQ(params[0].DataType, TFieldType::ftBlob);
  EXPECT_EQ(*params[0].HeldBytes, content);
  EXPECT_EQ(params[0].HeldBytes->data(), request->Files()[0].Bytes.data()) << "the upload was copied";
  const std::string name = Cp1250("zpráva.txt");
  const std::pair<TFieldType, std::string> derived[] = {{TFieldType::ftString, name},
                                                        {TFieldType::ftString, ".txt"},
                                                        {TFieldType::ftString, Cp1250("C:\\dir\\zpráva.txt")},
                                                        {TFieldType::ftString, "C:\\dir"},
                                                        {TFieldType::ftString, "text/plain"},
                                                        {TFieldType::ftString, "b.png"}};
  for (size_t i = 0; i < std::size(derived); ++i) {
    EXPECT_EQ(params[static_cast<int>(i) + 1].DataType, derived[i].first) << i;
    EXPECT_EQ(params[static_cast<int>(i) + 1].Value, TVariant::String(derived[i].second)) << i;
  }
  EXPECT_EQ(params[7].DataType, TFieldType::ftMemo);  // a type of its own is kept
  EXPECT_EQ(*params[7].HeldBytes, "PNG");
  EXPECT_FALSE(params[8].HeldBytes.has_value());  // a file field left empty binds null
  EXPECT_TRUE(params[8].Value.IsNull());

  options.UploadStreamSizeLimit = 2;
  try {
    Bound(*page, {"doc"});
    ADD_FAILURE() << "an upload over the limit was bound";
  } catch (const Exception& e) {
    EXPECT_EQ(e.what(), Cp1250("Uploadovaný soubor je příliš velký (C:\\dir\\zpráva.txt ,3 kb). Maximální povolená velikost "
                               "souboru je 2 kb"));
  }
  options.UploadStreamSizeLimit = 3;  // 3 kB and 5 bytes is over 3 kB
  EXPECT_THROW(Bound(*page, {"doc"}), Exception);
  options.UploadStreamSizeLimit = 4;
  EXPECT_NO_THROW(Bound(*page, {"doc"}));
}

TEST_F(Evidence, ActionMessageShowsOnlyProperBase64TextEscaped) {
  const struct {
    std::string key, shown;
  } cases[] = {
      {Base64Encode(Cp1250("Záznam uložen <b>&</b>")), Cp1250("Záznam uložen &lt;b&gt;&amp;&lt;/b&gt;")},
      {"", ""},
      {"not base64!", ""},
      {"QUJD", "ABC"},
      {"QUJD=", ""},                       // padding where none belongs
      {Base64Encode("a\x01" "b"), ""},     // control characters
      {Base64Encode("\"'><script>"), "&quot;&#39;&gt;&lt;script&gt;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    auto page = Item("&actionresult=" + UrlEncode(c.key));
    EXPECT_EQ(page->ActionResultHTML(), c.shown);
  }
}

TEST_F(Evidence, TrailCookiesAreSessionCookiesOfTheHost) {
  auto page = Item();
  page->SaveHistoryCookies(true);
  ASSERT_EQ(response->Cookies().size(), 2u);
  EXPECT_EQ(response->Cookies()[0].Name, "ZNKHISTORY");
  EXPECT_EQ(response->Cookies()[1].Name, "PREVURL");
  EXPECT_EQ(response->Cookies()[1].Value, page->CurrentURL());
  for (const TCookie& cookie : response->Cookies()) {
    EXPECT_EQ(cookie.Path, "/");
    EXPECT_LT(cookie.Expires, 0);
    EXPECT_TRUE(cookie.Secure && cookie.HttpOnly);
  }
  auto action = Item();
  action->keeps_history = false;
  response->Cookies().clear();
  action->SaveHistoryCookies(false);
  EXPECT_TRUE(response->Cookies().empty());
}

TEST_F(Evidence, SelectControlTagListsTheRecordsOfItsSql) {
  testing::TSqliteTestDatabase db;
  db.Exec(Cp1250("CREATE TABLE zakaznik (id INTEGER, jmeno VARCHAR(40)); "
                 "INSERT INTO zakaznik VALUES (1, 'Růžička'), (2, '<Šťastná>')"));
  T_GlobalSettings::Instance().UserConnection().R_ConnectionString = db.ConnectionString();
  struct Forget {
    ~Forget() { T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget); }
  } forget;
  auto page = Item("&z=2");
  TPageProducer producer;
  TStrings doc;
  doc.Add("<#tag_selectcontrol name=\"z\" initval=\"2\" custom=\" class=v\" "
          "sql=\"select id, jmeno from zakaznik where :EVIDENCEID is not null and id <= :z order by id\">");
  producer.SetHTMLDoc(doc);
  EXPECT_EQ(page->Produce(producer), "<select name=\"z\" class=v>\r\n<option value=\"1\">Růžička</option>\r\n"
                                     "<option value=\"2\" selected>&lt;Šťastná&gt;</option>\r\n</select>\r\n");
}

// Request values that try to change the SQL only ever arrive as values: the
// query finds the one row whose text is exactly that value. Czech text, dates
// and decimal numbers arrive unchanged.
void BindsHostileAndCzechValues(const testing::TTestDatabase& db, Evidence& fixture,
                                std::unique_ptr<RecordPage> (Evidence::*page_of)(const std::string&)) {
  db.Exec("CREATE TABLE zbozi (id INTEGER, nazev VARCHAR(80), den DATE, cena " + std::string(db.DoubleType()) + ")");
  const std::string hostile[] = {"x' OR '1'='1", "'; DROP TABLE zbozi; --", "\\'' OR 1=1 --", Cp1250("Žluťoučký kůň")};
  for (size_t i = 0; i < std::size(hostile); ++i) {
    auto connection = db.Connect();
    TParameters params;
    for (auto [name, type, value] : {std::tuple{"id", TFieldType::ftInteger, TVariant::Integer(static_cast<int64_t>(i))},
                                     {"n", TFieldType::ftString, TVariant::String(hostile[i])}}) {
      TParameter& parameter = params.Add(TParameter());
      parameter.Name = name;
      parameter.DataType = type;
      parameter.Value = value;
    }
    TOdbcCommand insert(connection.get());
    insert.SetParamCheck(true);
    insert.SetCommandText("INSERT INTO zbozi VALUES (:id, :n, '2024-12-31', 12.5)");
    for (int p = 0; p < 2; ++p) insert.Parameters()[p] = params[p];
    insert.Execute();
  }
  for (size_t i = 0; i < std::size(hostile); ++i) {
    SCOPED_TRACE(i);
    auto page = (fixture.*page_of)("&nazev=" + UrlEncode(EncodeOutput(hostile[i])) + "&den=31.12.2024&cena=12,5");
    ASSERT_TRUE(page->Valid());
    auto connection = db.Connect(cmRead);
    TOdbcDataSet rows(connection.get());
    rows.SetParamCheck(true);
    rows.SetCommandText(page->PrepareSQL(
        "SELECT id, nazev FROM zbozi /* :nazev */ WHERE nazev = :nazev AND den = :den.Date AND cena = :cena.Float "
        "AND :EVIDENCEID IS NOT NULL ORDER BY id"));
    page->BindParams(rows.Parameters());
    rows.Open();
    ASSERT_FALSE(rows.Eof());
    EXPECT_EQ(rows.FieldByName("id").AsString(), std::to_string(i));
    EXPECT_EQ(rows.FieldByName("nazev").AsString(), hostile[i]);
    rows.Next();
    EXPECT_TRUE(rows.Eof());
  }
  auto count = db.Connect(cmRead);
  TOdbcDataSet all(count.get());
  all.SetCommandText("SELECT COUNT(*) AS n FROM zbozi");
  all.Open();
  EXPECT_EQ(all.FieldByName("n").AsString(), std::to_string(std::size(hostile)));
}

TEST_F(Evidence, BindsOnlyValuesOnSqlite) {
  testing::TSqliteTestDatabase db;
  BindsHostileAndCzechValues(db, *this, &Evidence::Item);
}

TEST_F(Evidence, BindsOnlyValuesOnPostgres) {
  testing::TPostgresTestServer server;
  BindsHostileAndCzechValues(*server.NewDatabase("evidence"), *this, &Evidence::Item);
}

}  // namespace
}  // namespace tessaro
