// Record actions through the real program over a small imported portal and a
// SQLite database: SQL actions that change the data, where the browser goes
// afterwards (every way back, and never off the portal), the example note
// plug-in loaded by class identifier, and who may run an action at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"
#include "e2e/imported_portal.h"
#include "util/base64.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
const std::string kItem = "%7B33333333-0000-0000-0000-000000000001%7D";
const std::string kBase = "http://localhost/tessaro.cgi";
const std::string kList = kBase + "/ShowList?ID=%7B33333333-0000-0000-0000-000000000001%7D";
const std::string kDetail =
    kBase +
    "/ShowDetail?ID=%7B33333333-0000-0000-0000-000000000001%7D&EID=%7B66666666-0000-0000-0000-000000000001%7D&PID=2";

// One action of the item: its number (the last digits of its identifier),
// what it runs, and where it sends the browser after success.
std::string ActionXml(int n, const std::string& sql, const std::string& extra = "") {
  const std::string id = "{88888888-0000-0000-0000-00000000000" + std::to_string(n) + "}";
  return "<EvidenceItemAction><InstanceID>" + id +
         "</InstanceID><detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>"
         "<EvidenceActionName>A" +
         std::to_string(n) + "</EvidenceActionName><ActionSQL Count=\"1\"><Item0>" + sql + "</Item0></ActionSQL>" +
         extra + "</EvidenceItemAction>\n";
}

const std::string kSuccessPage = "<IDSuccessDetailPage>{66666666-0000-0000-0000-000000000001}</IDSuccessDetailPage>";

std::string PortalXml() {
  const std::string actions = ActionXml(1, "update zbozi set stav = 'vydáno' /* :PID2 */ where id = :PID",
                                        "<DefaultReturnToFormPage>True</DefaultReturnToFormPage>") +
                              ActionXml(2, "update neni set x = 1 where id = :PID") +
                              ActionXml(3, "update zbozi set stav = 'kopie' where id = :PID", kSuccessPage) +
                              ActionXml(4, "update zbozi set stav = 'kopie' where id = :PID",
                                        kSuccessPage + "<ResultURLField>eariACTIONRESULT</ResultURLField>") +
                              ActionXml(5, "{6a1e0c52-7b3d-4f21-9c8e-0d4b5a6f7e01}") +
                              ActionXml(6, "/* receipt */ {6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E02}") +
                              ActionXml(7, "{99999999-7B3D-4F21-9C8E-0D4B5A6F7E01}") + ActionXml(8, "/* nothing */");
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<TessaroModel Format="1">
  <Definitions>
    <Connection CommandTimeout="30" R_ConnectionString="Driver=SQLite3;Database=zbozi.db;NoCreat=1" RW_ConnectionString="" SupportsCatalogs="False"/>
    <ApplicationTypes ElementClass="TApplicationType" Count="1">
      <ApplicationType>
        <InstanceID>{11111111-0000-0000-0000-000000000001}</InstanceID>
        <TypeName>Sklad</TypeName>
        <ApplicationRoles ElementClass="TApplicationRole" Count="1">
          <ApplicationRole>
            <InstanceID>{22222222-0000-0000-0000-000000000001}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <RoleName>Skladník</RoleName>
            <EvidenceItems ElementClass="TEvidenceItem" Count="2">
              <EvidenceItem>
                <InstanceID>{33333333-0000-0000-0000-000000000001}</InstanceID>
                <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
                <EvidenceName>Zboží</EvidenceName>
                <ParametrizedSelectClause Count="1"><Item0>select id, nazev from zbozi</Item0></ParametrizedSelectClause>
                <EvidenceDetailPages ElementClass="TEvidenceItemDetailPage" Count="1">
                  <EvidenceItemDetailPage>
                    <InstanceID>{66666666-0000-0000-0000-000000000001}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <EvidenceDetailName>Kus</EvidenceDetailName>
                    <DetailSelectClause Count="1"><Item0>select * from zbozi where id = :PID</Item0></DetailSelectClause>
                  </EvidenceItemDetailPage>
                </EvidenceDetailPages>
                <EvidenceActions ElementClass="TEvidenceItemAction" Count="8">
)" + actions +
         R"(                </EvidenceActions>
              </EvidenceItem>
              <EvidenceItem>
                <InstanceID>{33333333-0000-0000-0000-000000000002}</InstanceID>
                <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
                <EvidenceName>Jiné</EvidenceName>
                <ParametrizedSelectClause Count="1"><Item0>select id from zbozi</Item0></ParametrizedSelectClause>
                <EvidenceActions ElementClass="TEvidenceItemAction" Count="1">
                  <EvidenceItemAction>
                    <InstanceID>{88888888-0000-0000-0000-000000000009}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000002}</detEvidenceItemID>
                    <EvidenceActionName>Smazat vše</EvidenceActionName>
                    <ActionSQL Count="1"><Item0>delete from zbozi</Item0></ActionSQL>
                  </EvidenceItemAction>
                </EvidenceActions>
              </EvidenceItem>
            </EvidenceItems>
          </ApplicationRole>
        </ApplicationRoles>
      </ApplicationType>
    </ApplicationTypes>
  </Definitions>
  <UserData>
    <Connection CommandTimeout="60" R_ConnectionString="Driver=SQLite3;Database=zbozi.db;NoCreat=1" RW_ConnectionString="Driver=SQLite3;Database=zbozi.db;NoCreat=1"/>
    <UserAccounts ElementClass="TUserAccount" Count="1">
      <UserAccount>
        <InstanceID>{44444444-0000-0000-0000-000000000001}</InstanceID>
        <Username>jan</Username>
        <Password>heslo</Password>
        <AccountName>Jan Novák</AccountName>
        <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
      </UserAccount>
    </UserAccounts>
  </UserData>
</TessaroModel>
)";
}

const char* const kData =
    "CREATE TABLE zbozi (id INTEGER PRIMARY KEY, nazev VARCHAR(40), stav VARCHAR(20));\n"
    "INSERT INTO zbozi VALUES (1, 'Rýč', 'nové'), (2, 'Motyka', 'nové'), (3, 'Konev', 'nové');\n"
    "CREATE TABLE record_notes (item_id VARCHAR(38), record_id VARCHAR(100), author VARCHAR(100), note "
    "VARCHAR(2000));\n";

// A query's value, Base64 and URL-encoded, as text.
std::string DecodedResult(const std::string& value) {
  std::string base64;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() + 0) {
      base64 += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      base64 += value[i];
    }
  }
  return Base64Decode(base64);
}

class RecordAction : public ImportedPortalSuite<RecordAction> {
 protected:
  static void SetUpTestSuite() {
    site = new Deployment();
    site->WriteFile("tessaro0.ini",
                    "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                    "pgTABULKA=list.html\npgERROR=error.html\n"
                    "[ACTIONHANDLERS]\n{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E01}=plugins/note.so\n"
                    "{6A1E0C52-7B3D-4F21-9C8E-0D4B5A6F7E02}=" TESSARO_BUILD_DIR "/plugins/note_action_plugin.so\n");
    site->WriteFile("templates/error.html", "ERROR <#tag_errorstatus>: <#tag_errormessage>\n");
    site->WriteFile("templates/login.html", "LOGIN FORM\n");
    site->WriteFile("templates/logok.html", "OK\n");
    site->WriteFile("templates/list.html", "LIST\n");
    site->WriteFile("portal.xml", PortalXml());
    site->WriteFile("data.sql", kData);
    // A relative library path is taken from the program's folder.
    std::filesystem::create_directories(site->Dir() + "/plugins");
    std::filesystem::create_symlink(TESSARO_BUILD_DIR "/plugins/note_action_plugin.so",
                                    site->Dir() + "/plugins/note.so");
    ImportWithDatabase();
  }

  // Runs action `n` on record `pid`, started from `referer`.
  static CgiResponse Act(int n, const std::string& rest, const std::string& referer = kDetail,
                         const std::string& extra_cookies = "") {
    const std::string query =
        "ID=" + kItem + "&EID=%7B88888888-0000-0000-0000-00000000000" + std::to_string(n) + "%7D" + rest;
    std::map<std::string, std::string> env = {{"HTTP_COOKIE", kSession + "; " + user_cookie + extra_cookies},
                                              {"ODBCSYSINI", ProjectOdbcFolder()}};
    if (!referer.empty()) env["HTTP_REFERER"] = referer;
    return site->Get("/Action", query, env);
  }
  static std::string Sql(const std::string& query) {
    const std::string command = "cd '" + site->Dir() + "' && sqlite3 zbozi.db \"" + query + "\"";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[256];
      while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
      pclose(pipe);
    }
    return out;
  }
  // The message a return address carries in "actionresult".
  static std::string Message(const std::string& location) {
    const size_t at = location.find("actionresult=");
    return at == std::string::npos ? "(none)" : DecodedResult(location.substr(at + 13));
  }

};

// The SQL runs on the read-write connection with the record's identifier
// bound; the browser returns to the starting page without a message.
TEST_F(RecordAction, SqlActionChangesTheRecordAndReturnsToTheStartingPage) {
  CgiResponse r = Act(1, "&PID=2");
  EXPECT_EQ(r.status, 302) << r.raw;
  EXPECT_EQ(r.Header("Location"), kDetail);
  EXPECT_EQ(Sql("select stav from zbozi order by id"), "nové\nvydáno\nnové\n");
}

// A failing action always goes back to the starting page (here one that
// already has a query) with the error in "actionresult"; an action with no
// text does nothing and succeeds.
TEST_F(RecordAction, FailureReturnsToTheStartingPageWithTheError) {
  CgiResponse r = Act(2, "&PID=2");
  const std::string location = r.Header("Location");
  EXPECT_EQ(location.rfind(kDetail + "&actionresult=", 0), 0u) << location;
  EXPECT_NE(Message(location).find("neni"), std::string::npos) << Message(location);
  EXPECT_EQ(Act(2, "&PID=2", kBase + "/ShowList").Header("Location").rfind(kBase + "/ShowList?actionresult=", 0), 0u);
  EXPECT_EQ(r.Header("Set-Cookie").find("ZNKHISTORY"), std::string::npos);

  CgiResponse nothing = Act(8, "&PID=2", kDetail);
  EXPECT_EQ(nothing.Header("Location"), kDetail);
}

// After success the success detail page shows the record with the request's
// FID, or with the result in "actionresult" and no FID.
TEST_F(RecordAction, SuccessDetailPageCarriesTheFieldOrTheResult) {
  const std::string page = kBase +
                           "/ShowDetail?ID=%7b33333333-0000-0000-0000-000000000001%7d"
                           "&EID=%7b66666666-0000-0000-0000-000000000001%7d&PID=3&PID2=";
  EXPECT_EQ(Act(3, "&PID=3&FID=n%C3%A1zev").Header("Location"), page + "&FID=n%c3%a1zev");
  EXPECT_EQ(Act(4, "&PID=3&FID=nazev").Header("Location"), page + "&actionresult=");
}

// Without DefaultReturnToFormPage a success goes to the page before the
// starting one on the visitor's trail, or to the starting page itself when
// that one is the main page.
TEST_F(RecordAction, SuccessReturnsAlongTheTrail) {
  const std::string trail = "; ZNKHISTORY=" + Base64Encode(kList + "\r\n" + kDetail + "\r\n");
  CgiResponse r = Act(5, "&PID=1&note=Zkontrolovat", kDetail, trail);
  EXPECT_EQ(r.Header("Location").rfind(kList + "&actionresult=", 0), 0u) << r.raw;
  EXPECT_EQ(Message(r.Header("Location")),
            "Pozn\xE1mka ulo\x9E"
            "ena.");

  const std::string main_trail = "; ZNKHISTORY=" + Base64Encode(kBase + "/main\r\n" + kDetail + "\r\n");
  EXPECT_EQ(Act(5, "&PID=1&note=Znovu", kDetail, main_trail).Header("Location").rfind(kDetail + "&actionresult=", 0),
            0u);
}

// The example plug-in writes its note through the context's connection;
// the receipt variant answers with its page instead of a redirect. Failures
// come back as messages: the plug-in's own, or the general one.
TEST_F(RecordAction, NotePluginWritesTheNoteAndAnswers) {
  CgiResponse receipt = Act(6, "&PID=3&note=%3Cb%3Epozor%3C%2Fb%3E+%C5%BElut%C3%A9");
  EXPECT_EQ(receipt.status, 200);
  EXPECT_NE(receipt.body.find("<p class=\"note\">&lt;b&gt;pozor&lt;/b&gt; žluté</p>"), std::string::npos)
      << receipt.body;
  EXPECT_NE(receipt.body.find("Autor: jan"), std::string::npos);
  EXPECT_EQ(Sql("select item_id, record_id, author, note from record_notes where record_id = '3'"),
            "{33333333-0000-0000-0000-000000000001}|3|jan|<b>pozor</b> žluté\n");

  EXPECT_EQ(Message(Act(5, "&PID=3").Header("Location")), "Pozn\xE1mka je pr\xE1zdn\xE1.");
  EXPECT_EQ(Message(Act(5, "&note=x").Header("Location")), "Akce se nezda\xF8ila");
}

// A class identifier no library serves is the installation's fault.
TEST_F(RecordAction, UnmappedHandlerGivesTheErrorPage) {
  CgiResponse r = Act(7, "&PID=1");
  EXPECT_EQ(r.status, 200);
  EXPECT_NE(r.body.find("ERROR"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("{99999999-7B3D-4F21-9C8E-0D4B5A6F7E01}"), std::string::npos) << r.body;
}

// The return address comes from the visitor: one that is not this portal's,
// or that would split the header, becomes the main page.
TEST_F(RecordAction, NeverSendsTheBrowserOffThePortal) {
  for (const std::string& referer :
       {std::string("http://evil.example/tessaro.cgi/ShowList"), std::string("http://localhost.evil.example/"),
        std::string("//evil.example/"), kDetail + "\r\nSet-Cookie: x=1"}) {
    SCOPED_TRACE(referer);
    const std::string location = Act(2, "&PID=1", referer).Header("Location");
    EXPECT_EQ(location.rfind(kBase + "/main?actionresult=", 0), 0u) << location;
  }
  const std::string forged = "&locationreferer=" + Base64Encode("https://evil.example/");
  EXPECT_EQ(Act(2, "&PID=1" + forged).Header("Location").rfind(kBase + "/main?", 0), 0u);
  const std::string trail = "; ZNKHISTORY=" + Base64Encode("http://evil.example/x\r\n" + kDetail + "\r\n");
  EXPECT_EQ(Act(5, "&PID=1&note=x", kDetail, trail).Header("Location").find("evil"), std::string::npos);
}

// Only an action of the item the request names runs, and only with a
// session: another item's action gives the login page and changes nothing.
TEST_F(RecordAction, RefusesForeignActionsAndCrossLinks) {
  CgiResponse foreign = Act(9, "&PID=1");
  EXPECT_EQ(foreign.body, "LOGIN FORM\n");
  EXPECT_EQ(Sql("select count(*) from zbozi"), "3\n");

  CgiResponse cross =
      site->Get("/Action", "ID=" + kItem + "&EID=%7B88888888-0000-0000-0000-000000000001%7D&PID=1",
                {{"HTTP_COOKIE", user_cookie}, {"ODBCSYSINI", ProjectOdbcFolder()}});
  EXPECT_NE(cross.body.find("Cross link not allowed"), std::string::npos) << cross.body;
  EXPECT_EQ(Sql("select stav from zbozi where id = 1"), "nové\n");
}

}  // namespace
}  // namespace tessaro::testing
