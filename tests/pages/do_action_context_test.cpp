// Record actions in process on PostgreSQL: which value the database writes
// back the action takes (a PID moves the browser to that record, any other is
// the result the success page gets), and the handler library's failures.
#include "pages/do_action_context.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <utility>
#include <vector>

#include "cgi/url_encoding.h"
#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "db/parameters.h"
#include "db/test_databases.h"
#include "model/application_role.h"
#include "model/application_type.h"
#include "model/evidence_item.h"
#include "model/evidence_item_action.h"
#include "model/evidence_item_detail_page.h"
#include "model/global_settings.h"
#include "model/inet_mgr_model.h"
#include "model/user_account.h"
#include "pages/action_handlers.h"
#include "util/exception.h"
#include "util/identifiers.h"
#include "util/regional_settings.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

const std::string kAccount = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
const std::string kSession = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const std::string kItem = "{AAAAAAAA-0000-0000-0000-000000000001}";
const std::string kPage = "{DDDDDDDD-0000-0000-0000-000000000001}";

class DoAction : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRegionalSettings();
    TInetMgrModel& model = *options.Model;
    Add<TApplicationType>(model.ApplicationTypes(), "{T}");
    Add<TApplicationRole>(model.ApplicationRoles(), "{R}")->detApplicationTypeID = "{T}";
    auto* item = Add<TEvidenceItem>(model.EvidenceItems(), kItem);
    item->detApplicationRoleID = "{R}";
    Add<TEvidenceItemDetailPage>(model.EvidenceItemDetailPages(), kPage)->detEvidenceItemID = kItem;
    Add<TUserAccount>(model.UserAccounts(), kAccount)->detApplicationRoleID = "{R}";
    options.ShowDetailPath = "/ShowDetail";
  }
  void TearDown() override { T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget); }

  template <class E, class L>
  E* Add(L& list, const std::string& id) {
    auto element = std::make_unique<E>();
    element->InstanceID = id;
    return list.AddNew(std::move(element));
  }
  // An action of the item running `sql`, with the success detail page.
  void AddAction(const std::string& id, const std::string& sql) {
    auto* action = Add<TEvidenceItemAction>(options.Model->EvidenceItemActions(), id);
    action->detEvidenceItemID = kItem;
    action->ActionSQL = {sql};
    action->IDSuccessDetailPage = kPage;
  }
  std::unique_ptr<TTessaroDoActionContext> Action(const std::string& id, const std::string& query) {
    options.Model->LinkAll();
    options.Model->AfterLoadAll();
    std::map<std::string, std::string> env{
        {"REQUEST_METHOD", "GET"},
        {"HTTP_HOST", "h"},
        {"SERVER_PORT", "80"},
        {"SCRIPT_NAME", "/p.cgi"},
        {"PATH_INFO", "/Action"},
        {"QUERY_STRING", "ID=" + UrlEncode(kItem) + "&EID=" + UrlEncode(id) + query},
        {"HTTP_COOKIE", "ZNKCGIUSERID=" + EncodeID(kAccount) + "; ZNKSESSIONID=" + kSession}};
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    close(fds[1]);
    request = std::make_unique<TWebRequest>(CgiEnvironment::FromMap(env), fds[0]);
    close(fds[0]);
    response = std::make_unique<TWebResponse>(*request, -1);
    return MakeContext<TTessaroDoActionContext>(request.get(), &options, response.get());
  }

  TTessaroOptions options;
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
};

// The first parameter the database writes back is the only one used: named
// PID it replaces the record, otherwise it is the result, which reaches the
// success page as FID; the request's FID when there is no result.
TEST_F(DoAction, FirstWrittenBackParameterIsTheResult) {
  testing::TPostgresTestServer server;
  auto db = server.NewDatabase("actions");
  db->Exec("CREATE FUNCTION add_one(x integer) RETURNS integer AS 'SELECT x + 1' LANGUAGE SQL");
  db->Exec("CREATE TABLE t (id integer)");
  db->Exec("CREATE FUNCTION rows_of_t() RETURNS integer AS 'SELECT count(*)::integer FROM t' LANGUAGE SQL");
  T_GlobalSettings::Instance().UserConnection().RW_ConnectionString = db->ConnectionString();
  const std::string base =
      "http://h/p.cgi/ShowDetail?ID=%7bAAAAAAAA-0000-0000-0000-000000000001%7d"
      "&EID=%7bDDDDDDDD-0000-0000-0000-000000000001%7d";
  const struct {
    std::string sql;
    std::string url;
  } cases[] = {
      {"{:PID = call add_one(:PID)}", base + "&PID=42&PID2=7&FID=f"},
      {"{:PID2 = call add_one(:PID)}", base + "&PID=41&PID2=42&FID=f"},
      {"{:total = call add_one(:PID)}", base + "&PID=41&PID2=7&FID=42"},
      {"insert into t values (:PID)", base + "&PID=41&PID2=7&FID=f"},
      {"{:n = call rows_of_t()}", base + "&PID=41&PID2=7&FID=1"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    const std::string id = "{EEEEEEEE-0000-0000-0000-00000000000" + std::to_string(++n) + "}";
    AddAction(id, c.sql);
    auto action = Action(id, "&PID=41&PID2=7&FID=f");
    ASSERT_FALSE(action->LoginNeeded());
    EXPECT_EQ(action->Run(), "");
    EXPECT_TRUE(action->Succeeded()) << action->Message();
    EXPECT_EQ(action->ResultURL(), c.url);
  }
}

// The first parameter written back wins, whatever follows it: a return
// value before an output parameter, an output before a PID.
TEST(DoActionOutput, FirstWrittenBackParameterWins) {
  const struct {
    std::vector<std::pair<std::string, TParameterDirection>> params;
    std::string chosen;
  } cases[] = {
      {{{"PID", pdInput}, {"total", pdReturnValue}, {"x", pdInputOutput}}, "total"},
      {{{"PID", pdInput}, {"x", pdOutput}, {"PID", pdInputOutput}}, "x"},
      {{{"PID2.Integer", pdInputOutput}, {"r", pdReturnValue}}, "PID2.Integer"},
      {{{"PID", pdInput}, {"FID", pdUnknown}}, ""},
  };
  for (const auto& c : cases) {
    TParameters params;
    for (const auto& [name, direction] : c.params) {
      TParameter& p = params.Add(TParameter());
      p.Name = name;
      p.Direction = direction;
    }
    const TParameter* chosen = WrittenBackParameter(params);
    EXPECT_EQ(chosen != nullptr ? chosen->Name : "", c.chosen);
  }
}

// Every way a handler cannot be had is an error with the identifier in it.
TEST(ActionHandlers, LibrariesThatCannotServeFail) {
  TStrings mapping;
  mapping.Add("{00000000-0000-0000-0000-00000000000A}=" TESSARO_SAMPLE_PLUGIN);  // no entry point
  mapping.Add("{00000000-0000-0000-0000-00000000000B}=no/such/library.so");
  mapping.Add("{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E09}=" TESSARO_NOTE_PLUGIN);  // not a class it serves
  mapping.Add("{6a1e0c52-7b3d-4f21-9c8e-0d4b5a6f7e01}=" TESSARO_NOTE_PLUGIN);
  for (const char* id : {"{00000000-0000-0000-0000-00000000000A}", "{00000000-0000-0000-0000-00000000000B}",
                         "{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E09}", "{00000000-0000-0000-0000-00000000000C}"}) {
    SCOPED_TRACE(id);
    try {
      CreateActionHandler(mapping, id, "/tmp");
      ADD_FAILURE() << "created";
    } catch (const Exception& error) {
      EXPECT_NE(std::string(error.what()).find(id), std::string::npos) << error.what();
    }
  }
  EXPECT_NE(CreateActionHandler(mapping, "{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E01}", "/tmp"), nullptr);
  EXPECT_EQ(ActionHandlerLibrary(mapping, "{00000000-0000-0000-0000-00000000000b}", "/opt/portal/"),
            "/opt/portal/no/such/library.so");
}

}  // namespace
}  // namespace tessaro
