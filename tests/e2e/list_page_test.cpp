// The list page through the real program over a small imported portal and a
// SQLite database: the table and its paging, the filter form's rows, the sort
// form's levels, sorting that only ever names the list's fields, values that
// try to change the SQL, the summary row, who may see the list, and the trail
// cookies the page leaves.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"
#include "e2e/imported_portal.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";
const std::string kItem = "%7B33333333-0000-0000-0000-000000000001%7D";
const std::string kOtherRolesItem = "%7B33333333-0000-0000-0000-000000000002%7D";

const char* const kPortalXml = R"(<?xml version="1.0" encoding="UTF-8"?>
<TessaroModel Format="1">
  <Definitions>
    <Connection CommandTimeout="30" R_ConnectionString="Driver=SQLite3;Database=zbozi.db;NoCreat=1" RW_ConnectionString="" SupportsCatalogs="False"/>
    <ApplicationTypes ElementClass="TApplicationType" Count="1">
      <ApplicationType>
        <InstanceID>{11111111-0000-0000-0000-000000000001}</InstanceID>
        <TypeName>Sklad</TypeName>
        <ParamTypeDefs ElementClass="TParamTypeDef" Count="2">
          <ParamTypeDef>
            <InstanceID>{55555555-0000-0000-0000-000000000001}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <detParamEditorID>{FBCD7C44-BF53-41C5-BB45-666E395FAC2D}</detParamEditorID>
            <ParamTypeName>Text</ParamTypeName>
            <IsHtmlFilterParam>True</IsHtmlFilterParam>
            <ParamDataType>ftString</ParamDataType>
          </ParamTypeDef>
          <ParamTypeDef>
            <InstanceID>{55555555-0000-0000-0000-000000000002}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <detParamEditorID>{FBCD7C44-BF53-41C5-BB45-666E395FAC2D}</detParamEditorID>
            <ParamTypeName>Číslo</ParamTypeName>
            <IsHtmlFilterParam>True</IsHtmlFilterParam>
            <ParamDataType>ftInteger</ParamDataType>
          </ParamTypeDef>
        </ParamTypeDefs>
        <ApplicationRoles ElementClass="TApplicationRole" Count="2">
          <ApplicationRole>
            <InstanceID>{22222222-0000-0000-0000-000000000001}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <RoleName>Skladník</RoleName>
            <EvidenceItems ElementClass="TEvidenceItem" Count="2">
              <EvidenceItem>
                <InstanceID>{33333333-0000-0000-0000-000000000003}</InstanceID>
                <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
                <EvidenceName>Rozbitá</EvidenceName>
                <OrderInList>2</OrderInList>
                <ParametrizedSelectClause Count="1"><Item0>select * from chybi</Item0></ParametrizedSelectClause>
              </EvidenceItem>
              <EvidenceItem>
                <InstanceID>{33333333-0000-0000-0000-000000000001}</InstanceID>
                <detApplicationRoleID>{22222222-0000-0000-0000-000000000001}</detApplicationRoleID>
                <EvidenceName>Zboží</EvidenceName>
                <OrderInList>1</OrderInList>
                <ParametrizedSelectClause Count="3">
                  <Item0>select id, nazev, cena, skupina from zbozi</Item0>
                  <Item1>where (:NAZEV is null or nazev like '%' || :NAZEV || '%')</Item1>
                  <Item2>  and (:SKUPINA is null or skupina = :SKUPINA) and (:MAX is null or cena &lt;= :MAX) order by id</Item2>
                </ParametrizedSelectClause>
                <SummaryRowSelectClause Count="1"><Item0>select sum(cena) as cena from zbozi</Item0></SummaryRowSelectClause>
                <ColumnAttributes Count="4">
                  <Item0><FieldName>id</FieldName><IsVisible>False</IsVisible><RowIdentifier>True</RowIdentifier></Item0>
                  <Item1><FieldName>nazev</FieldName></Item1>
                  <Item2><FieldName>cena</FieldName><DisplayFormat>0.00</DisplayFormat></Item2>
                  <Item3><FieldName>skupina</FieldName></Item3>
                </ColumnAttributes>
                <ProducerTemplate>
                  <Columns Count="4">
                    <Item0><FieldName>id</FieldName><Title><Caption>Id</Caption></Title></Item0>
                    <Item1><FieldName>nazev</FieldName><Title><Caption>Název</Caption></Title></Item1>
                    <Item2><FieldName>cena</FieldName><Align>haRight</Align><Title><Caption>Cena</Caption></Title></Item2>
                    <Item3><FieldName>skupina</FieldName><Title><Caption>Skupina</Caption></Title></Item3>
                  </Columns>
                </ProducerTemplate>
                <EvidenceDetailPages ElementClass="TEvidenceItemDetailPage" Count="2">
                  <EvidenceItemDetailPage>
                    <InstanceID>{66666666-0000-0000-0000-000000000001}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <EvidenceDetailName>Zboží</EvidenceDetailName>
                    <Expr_DetailTemplate>"detail.html"</Expr_DetailTemplate>
                    <DetailSelectClause Count="1"><Item0>select nazev, cena from zbozi where id = :PID</Item0></DetailSelectClause>
                    <DetailColumnAttributes Count="1"><Item0><FieldName>cena</FieldName><DisplayFormat>0.00</DisplayFormat></Item0></DetailColumnAttributes>
                    <DetailListSelectClause Count="1"><Item0>select id, nazev from zbozi where skupina = (select skupina from zbozi where id = :PID) and id &lt;&gt; :PID order by id</Item0></DetailListSelectClause>
                    <DetailListColumnAttributes Count="2">
                      <Item0><FieldName>id</FieldName><RowIdentifier>True</RowIdentifier></Item0>
                      <Item1><FieldName>nazev</FieldName><IDDetailPage>{66666666-0000-0000-0000-000000000001}</IDDetailPage></Item1>
                    </DetailListColumnAttributes>
                    <DetailListProducerTemplate><Columns Count="1"><Item0><FieldName>nazev</FieldName><Title><Caption>&lt;FIELD&gt;</Caption></Title></Item0></Columns></DetailListProducerTemplate>
                  </EvidenceItemDetailPage>
                  <EvidenceItemDetailPage>
                    <InstanceID>{66666666-0000-0000-0000-000000000002}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <EvidenceDetailName>S cizí akcí</EvidenceDetailName>
                    <IDAction>{99999999-0000-0000-0000-000000000009}</IDAction>
                    <DetailSelectClause Count="1"><Item0>select nazev from zbozi where id = :PID</Item0></DetailSelectClause>
                  </EvidenceItemDetailPage>
                </EvidenceDetailPages>
                <ParamDefs ElementClass="TParamDef" Count="3">
                  <ParamDef>
                    <InstanceID>{77777777-0000-0000-0000-000000000001}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <detParamTypeDefID>{55555555-0000-0000-0000-000000000001}</detParamTypeDefID>
                    <ParamName>NAZEV</ParamName>
                    <ParamDisplayName>Název</ParamDisplayName>
                    <ParamDataType>ftString</ParamDataType>
                  </ParamDef>
                  <ParamDef>
                    <InstanceID>{77777777-0000-0000-0000-000000000002}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <detParamTypeDefID>{55555555-0000-0000-0000-000000000002}</detParamTypeDefID>
                    <ParamName>SKUPINA.Integer</ParamName>
                    <ParamDisplayName>Skupina</ParamDisplayName>
                    <ParamDataType>ftInteger</ParamDataType>
                    <HtmlFilterGroupIndex>2</HtmlFilterGroupIndex>
                    <HtmlFilterColSpan>2</HtmlFilterColSpan>
                  </ParamDef>
                  <ParamDef>
                    <InstanceID>{77777777-0000-0000-0000-000000000003}</InstanceID>
                    <detEvidenceItemID>{33333333-0000-0000-0000-000000000001}</detEvidenceItemID>
                    <detParamTypeDefID>{55555555-0000-0000-0000-000000000002}</detParamTypeDefID>
                    <ParamName>MAX</ParamName>
                    <ParamDisplayName>Cena do</ParamDisplayName>
                    <ParamDataType>ftInteger</ParamDataType>
                    <HtmlFilterGroupIndex>2</HtmlFilterGroupIndex>
                    <HtmlFilterTabIndex>1</HtmlFilterTabIndex>
                  </ParamDef>
                </ParamDefs>
              </EvidenceItem>
            </EvidenceItems>
          </ApplicationRole>
          <ApplicationRole>
            <InstanceID>{22222222-0000-0000-0000-000000000002}</InstanceID>
            <detApplicationTypeID>{11111111-0000-0000-0000-000000000001}</detApplicationTypeID>
            <RoleName>Jiná role</RoleName>
            <EvidenceItems ElementClass="TEvidenceItem" Count="1">
              <EvidenceItem>
                <InstanceID>{33333333-0000-0000-0000-000000000002}</InstanceID>
                <detApplicationRoleID>{22222222-0000-0000-0000-000000000002}</detApplicationRoleID>
                <EvidenceName>Cizí</EvidenceName>
                <ParametrizedSelectClause Count="1"><Item0>select id from zbozi</Item0></ParametrizedSelectClause>
              </EvidenceItem>
            </EvidenceItems>
          </ApplicationRole>
        </ApplicationRoles>
      </ApplicationType>
    </ApplicationTypes>
  </Definitions>
  <UserData>
    <Connection CommandTimeout="60" R_ConnectionString="Driver=SQLite3;Database=zbozi.db;NoCreat=1" RW_ConnectionString=""/>
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

// Seven goods: names sort differently from their ids and prices.
const char* const kData =
    "CREATE TABLE zbozi (id INTEGER PRIMARY KEY, nazev VARCHAR(40), cena DOUBLE, skupina INTEGER);\n"
    "INSERT INTO zbozi VALUES (1, 'Rýč', 489.5, 1), (2, 'Motyka', 259, 1), (3, 'Hadice 20 m', 699, 2),\n"
    "  (4, 'Konev', 189, 2), (5, 'Čerpadlo', 3490, 3), (6, 'Zástěra', 189, 3), (7, 'Lavice', 4590, 3);\n";

class ListPage : public ImportedPortalSuite<ListPage> {
 protected:
  static void SetUpTestSuite() {
    site = new Deployment();
    site->WriteFile("tessaro0.ini",
                    "[OPTIONS]\npath_to_templates=templates\npgLOGIN=login.html\npgLOGOK=logok.html\n"
                    "pgTABULKA=list.html\npgERROR=error.html\nclass_evenrow=even\ntable_empty=(nic)\n");
    site->WriteFile("templates/error.html", "ERROR <#tag_errorstatus>: <#tag_errormessage>\n");
    site->WriteFile("templates/login.html", "LOGIN FORM\n");
    site->WriteFile("templates/logok.html", "OK\n");
    site->WriteFile("templates/list.html",
                    "<#tag_include file=\"hlava.html\">[<#tag_evidence_name>]\n{<#tag_filter_control>}\n{<#tag_sort_control>}\n"
                    "{<#tag_table_content>}\n{<#tag_navigator>}\n");
    site->WriteFile("templates/hlava.html", "Sklad – zboží\n");
    site->WriteFile("templates/detail.html",
                    "[<#nazev>|<#cena>]\n{<#tag_table_content>}\n{<#tag_actfrm_hiddenfields>}\n{<#tag_backlink_url>}\n"
                    "{<#tag_backlink_url depth=0>}\n{<#tag_listlink_url>}\n");
    site->WriteFile("portal.xml", kPortalXml);
    site->WriteFile("data.sql", kData);
    ImportWithDatabase();
  }

  static CgiResponse List(const std::string& query, const std::string& cookies = "") {
    return site->Get("/ShowList", query, VisitorEnv(cookies));
  }
  // The part of the page between the n-th pair of braces.
  static std::string Part(const std::string& body, int n) {
    size_t open = std::string::npos, at = 0;
    for (int i = 0; i <= n; ++i) {
      open = body.find("\n{", at);
      if (open == std::string::npos) return "(missing part)";
      at = open + 2;
    }
    const size_t close = body.find("}\n", at);
    return body.substr(at, close - at);
  }
  // The names of the goods in the table, in order.
  static std::string Names(const std::string& table) {
    std::string names;
    for (size_t at = table.find("<tr"); at != std::string::npos; at = table.find("<tr", at + 1)) {
      const size_t cell = table.find('>', at) + 1;
      if (table.compare(cell, 4, "<TD>") != 0) continue;  // a header or total row
      names += table.substr(cell + 4, table.find("</TD>", cell) - cell - 4) + ";";
    }
    return names;
  }

};

// The table's exact bytes: template columns without the hidden one, even
// rows with their class, the total row, the page asked for.
TEST_F(ListPage, TableShowsTheRequestedPageWithItsTotalRow) {
  CgiResponse r = List("ID=" + kItem + "&rows=3&page_no=2");
  ASSERT_EQ(r.status_text, "200 OK") << r.body;
  // Czech text of an included template arrives as written.
  EXPECT_EQ(r.body.rfind("Sklad – zboží\r\n[Zboží]\n", 0), 0u) << r.body.substr(0, 80);
  EXPECT_EQ(Part(r.body, 2),
            "<Table CellSpacing=0 CellPadding=0 Border=0>\r\n"
            "<thead><tr><TH>Název</TH><TH>Cena</TH><TH>Skupina</TH></tr></thead>\r\n"
            "<tfoot><tr><TH>&nbsp;</TH><TH Align=\"right\">9905,50</TH><TH>&nbsp;</TH></tr></tfoot>\r\n"
            "<tbody><tr><TD>Konev</TD><TD Align=\"right\">189,00</TD><TD>2</TD></tr>\r\n"
            "<tr class=\"even\"><TD>Čerpadlo</TD><TD Align=\"right\">3490,00</TD><TD>3</TD></tr>\r\n"
            "<tr><TD>Zástěra</TD><TD Align=\"right\">189,00</TD><TD>3</TD></tr>\r\n"
            "</tbody></Table>");
}

TEST_F(ListPage, PagingFormCarriesTheRequestAndLinksToEveryPage) {
  CgiResponse r = List("ID=" + kItem + "&rows=3&page_no=2&NAZEV=&btn_1=OK");
  const std::string base = "http://localhost/tessaro.cgi/ShowList";
  const std::string link = "<A HREF=\"" + base + "?ID=%7b33333333-0000-0000-0000-000000000001%7d&rows=3&item_no=";
  EXPECT_EQ(Part(r.body, 3),
            "<form OnSubmit=\"javascript:return submit_frm_goto(this);\" action=\"" + base +
                "\" method=\"get\" name=\"frm_goto\">\r<fieldset><legend>Stránkování</legend>\r"
                "<input type=hidden name=\"ID\" value=\"{33333333-0000-0000-0000-000000000001}\">\r\n\r"
                "<p><label><span>Zobrazuji&nbsp;</span><input type=\"text\" value=\"2\" name=\"page_no\"></label>\r"
                "<input type=\"submit\" value=\"OK\" name=\"btn_1\">\r"
                "stránku ze 3.&nbsp;&nbsp;<label><span>Nastavit&nbsp;</span><input type=\"text\" value=\"3\" "
                "name=\"rows\"></label>\r<input type=\"submit\" value=\"OK\" name=\"btn_2\">\rpoložek na stránku.\r"
                "&nbsp;&nbsp;&nbsp;&nbsp;" +
                link + "1\">|&lt;</A>&nbsp;" + link + "1\">&lt;</A>&nbsp;&nbsp;&nbsp;" + link + "7\">&gt;</A>&nbsp;" +
                link + "7\">&gt;|</A>&nbsp;</p>\r</fieldset></form>\r");
  // One page: no paging form.
  EXPECT_EQ(Part(List("ID=" + kItem + "&rows=25").body, 3), "");
}

// Groups 0 and 2 give two rows; the row with fewer parameters than the
// fullest one is padded, and a span of 2 takes three cells for the control.
// Integer filters are checked before the form is sent. The form carries the
// request's keys but the filters', the paging's and the buttons'.
TEST_F(ListPage, FilterFormLaysOutGroupsAndCarriesTheOtherKeys) {
  CgiResponse r = List("ID=" + kItem + "&NAZEV=%22%3E%3Cscript%3E&sort_by0=cena&page_no=2&btn_x=1&Extra=%27a%27");
  EXPECT_EQ(Part(r.body, 0),
            "<form OnSubmit=\"javascript:return submit_frm_filter(this);\" action=\"http://localhost/tessaro.cgi/ShowList\" "
            "method=\"get\" name=\"frm_filter\">\r"
            "<fieldset><legend>Filtr</legend>\r"
            "<input type=hidden name=\"id\" value=\"{33333333-0000-0000-0000-000000000001}\">\r\n"
            "<input type=hidden name=\"sort_by0\" value=\"cena\">\r\n"
            "<input type=hidden name=\"extra\" value=\"&#39;a&#39;\">\r\n\r"
            "<table>\r<tbody><tr><td>Název</td><td><input type=text name=\"NAZEV\" value=\"&quot;&gt;&lt;script&gt;\">"
            "</td><td>&nbsp;</td><td>&nbsp;</td></tr>\r<tr><td>Skupina</td><td colspan=3><input type=text "
            "name=\"SKUPINA\"></td><td>Cena do</td><td><input type=text name=\"MAX\"></td></tr></tbody></table>\r<input type=\"submit\" value=\"Obnovit\">\r"
            "</fieldset></form>\r");
  // The hostile text was only ever a value: no goods match it.
  EXPECT_EQ(Part(r.body, 2), "(nic)");
}

TEST_F(ListPage, FiltersBindTheirValues) {
  EXPECT_EQ(Names(Part(List("ID=" + kItem + "&SKUPINA=3").body, 2)), "Čerpadlo;Zástěra;Lavice;");
  EXPECT_EQ(Names(Part(List("ID=" + kItem + "&NAZEV=e&SKUPINA=2").body, 2)), "Hadice&nbsp;20&nbsp;m;Konev;");
  // Text that is not a number for a number filter reaches the database as a
  // value and is refused there: the error page, not a changed query.
  EXPECT_EQ(List("ID=" + kItem + "&SKUPINA=1%20or%201%3D1").body.rfind("ERROR ", 0), 0u);
}

// Sorting takes field names of the list only, by Czech order, on two levels.
TEST_F(ListPage, SortsByFieldsOfTheListOnly) {
  const struct {
    std::string sort, names;
  } cases[] = {
      {"", "Rýč;Motyka;Hadice&nbsp;20&nbsp;m;Konev;Čerpadlo;Zástěra;Lavice;"},
      {"&sort_by0=nazev", "Čerpadlo;Hadice&nbsp;20&nbsp;m;Konev;Lavice;Motyka;Rýč;Zástěra;"},
      {"&sort_by0=cena&sort_by1=nazev&sort_desc1=y", "Zástěra;Konev;Motyka;Rýč;Hadice&nbsp;20&nbsp;m;Čerpadlo;Lavice;"},
      {"&sort_by0=skupina&sort_desc0=y&sort_by1=cena", "Zástěra;Čerpadlo;Lavice;Konev;Hadice&nbsp;20&nbsp;m;Motyka;Rýč;"},
      {"&sort_by0=nazev%3B%20DROP%20TABLE%20zbozi", "Rýč;Motyka;Hadice&nbsp;20&nbsp;m;Konev;Čerpadlo;Zástěra;Lavice;"},
      {"&sort_by0=rowid", "Rýč;Motyka;Hadice&nbsp;20&nbsp;m;Konev;Čerpadlo;Zástěra;Lavice;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sort);
    EXPECT_EQ(Names(Part(List("ID=" + kItem + "&rows=10" + c.sort).body, 2)), c.names);
  }
}

TEST_F(ListPage, SortFormOffersTitledColumnsOnThreeLevels) {
  const std::string form = Part(List("ID=" + kItem + "&sort_by0=cena&sort_desc0=y&sort_by1=bogus&NAZEV=o").body, 1);
  EXPECT_NE(form.find("<input type=hidden name=\"nazev\" value=\"o\">"), std::string::npos) << form;
  EXPECT_EQ(form.find("name=\"sort_by0\" value"), std::string::npos) << "the sort keys are the form's own";
  for (const char* level : {"<td><label>1.</label></td>", "<td><label>2.</label></td>", "<td><label>3.</label></td>"})
    EXPECT_NE(form.find(level), std::string::npos) << level;
  EXPECT_NE(form.find("<option value=\"cena\" selected>Cena</option>"), std::string::npos) << form;
  EXPECT_NE(form.find("<input type=checkbox name=\"sort_desc0\"  value=\"y\" checked>Sestup."), std::string::npos);
  EXPECT_NE(form.find("<input type=checkbox name=\"sort_desc1\"  value=\"y\">Sestup."), std::string::npos)
      << "a level without a field is not descending";
  // The hidden id column has an attribute and a caption but is offered too:
  // visibility is the table's business, not the sort form's.
  EXPECT_NE(form.find("<option value=\"id\">Id</option>"), std::string::npos) << form;
}

TEST_F(ListPage, OnlyTheVisitorsOwnItemsOpen) {
  for (const std::string& query : {"ID=" + kOtherRolesItem, std::string("ID=%7Bnone%7D"), std::string()}) {
    SCOPED_TRACE(query);
    EXPECT_NE(List(query).body.find("LOGIN FORM"), std::string::npos);
  }
  EXPECT_NE(List("ID=" + kItem, kSession).body.find("LOGIN FORM"), std::string::npos) << "nobody logged in";
}

// A list whose SQL fails shows the portal's error page with the database's
// message, and leaves the visitor's trail as it was.
TEST_F(ListPage, ADatabaseErrorShowsTheErrorPage) {
  CgiResponse r = List("ID=%7B33333333-0000-0000-0000-000000000003%7D");
  EXPECT_EQ(r.body.rfind("ERROR Chyba č.500: Internal Server Error: ", 0), 0u) << r.body;
  EXPECT_NE(r.body.find("chybi"), std::string::npos) << r.body;
  for (const std::string& cookie : r.Cookies()) EXPECT_NE(cookie.rfind("ZNKHISTORY", 0), 0u) << cookie;
}

// A detail page shows its record and the dependent rows, whose links carry
// the record as PID and the row as PID2; the links back lead along the trail.
TEST_F(ListPage, DetailPageShowsTheRecordItsRowsAndTheWayBack) {
  const std::string list = "http://localhost/tessaro.cgi/ShowList?ID=" + kItem + "&sort_by0=nazev";
  const std::string query = "ID=" + kItem + "&EID=%7B66666666-0000-0000-0000-000000000001%7D&PID=5&FID=Cerpadlo";
  CgiResponse r = site->Get("/ShowDetail", query,
                            {{"HTTP_COOKIE", kSession + "; " + user_cookie},
                             {"HTTP_REFERER", list},
                             {"ODBCSYSINI", ProjectOdbcFolder()}});
  ASSERT_EQ(r.body.rfind("Sklad", 0), std::string::npos) << "the detail template has no header";
  EXPECT_EQ(r.body.substr(0, r.body.find('\n')), "[Čerpadlo|3490,00]") << r.body;
  const std::string link = "<A HREF=\"http://localhost/tessaro.cgi/ShowDetail?ID=%7b33333333-0000-0000-0000-000000000001%7d"
                           "&amp;EID=%7b66666666-0000-0000-0000-000000000001%7d&amp;PID=5&amp;PID2=";
  EXPECT_NE(Part(r.body, 0).find(link + "6&amp;FID=Zastera\" class=\"\">Zástěra</A>"), std::string::npos) << r.body;
  EXPECT_NE(Part(r.body, 0).find(link + "7&amp;FID=Lavice\" class=\"\">Lavice</A>"), std::string::npos) << r.body;
  EXPECT_EQ(Part(r.body, 1),
            "<input type=hidden name=\"ID\" value=\"{33333333-0000-0000-0000-000000000001}\">\r"
            "<input type=hidden name=\"EID\" value=\"\">\r<input type=hidden name=\"PID\" value=\"5\">\r"
            "<input type=hidden name=\"FID\" value=\"Cerpadlo\">");
  const std::string escaped_list = "http://localhost/tessaro.cgi/ShowList?ID=" + kItem + "&amp;sort_by0=nazev";
  EXPECT_EQ(Part(r.body, 2), escaped_list) << "back: the page the visitor came from";
  EXPECT_EQ(Part(r.body, 3), "http://localhost/tessaro.cgi/ShowDetail?" + query.substr(0, 3) +
                                 "%7B33333333-0000-0000-0000-000000000001%7D&amp;EID=%7B66666666-0000-0000-0000-"
                                 "000000000001%7D&amp;PID=5&amp;FID=Cerpadlo")
      << "depth 0: this page";
  EXPECT_EQ(Part(r.body, 4), escaped_list) << "the list the trail started from";
  std::string trail;
  for (const std::string& cookie : r.Cookies()) trail += cookie.substr(0, cookie.find('=')) + ";";
  EXPECT_EQ(trail, "ZNKHISTORY;PREVURL;");

  // Pages of other items, unknown pages and a page whose action is not the
  // item's own ask for a login.
  for (const std::string& eid : {std::string("%7B66666666-0000-0000-0000-000000000002%7D"), std::string("%7Bnone%7D")}) {
    CgiResponse refused = site->Get("/ShowDetail", "ID=" + kItem + "&EID=" + eid + "&PID=5",
                                    {{"HTTP_COOKIE", kSession + "; " + user_cookie}});
    EXPECT_NE(refused.body.find("LOGIN FORM"), std::string::npos) << eid;
  }
}

TEST_F(ListPage, LeavesTheTrailCookies) {
  CgiResponse r = List("ID=" + kItem + "&page_no=1");
  std::string names;
  for (const std::string& cookie : r.Cookies()) names += cookie.substr(0, cookie.find('=')) + ";";
  EXPECT_EQ(names, "ZNKHISTORY;PREVURL;");
  for (const std::string& cookie : r.Cookies()) EXPECT_NE(cookie.find("path=/; HttpOnly"), std::string::npos) << cookie;
}

}  // namespace
}  // namespace tessaro::testing
