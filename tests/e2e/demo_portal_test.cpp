// The demo portal as `make demo` builds it: scripts/build-demo-site makes the
// folder (database, imported definitions and accounts, server.ini), the
// administrator's check finds nothing to report, every demo account logs in
// through the real executable, and the evidence items' SQL runs against the
// database the folder's connection names, Czech texts intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "context/jpeg_codec.h"
#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"
#include "e2e/imported_portal.h"

namespace tessaro::testing {
namespace {

const std::string kSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

std::string ReadWhole(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of the list SQL of the evidence item named `name` in the demo's
// XML document, joined as the portal joins them, with XML escapes undone.
std::string EvidenceSql(const std::string& xml, const std::string& name) {
  const size_t item = xml.find("<EvidenceName>" + name + "</EvidenceName>");
  if (item == std::string::npos) return "";
  const size_t begin = xml.find("<ParametrizedSelectClause", item);
  const size_t end = xml.find("</ParametrizedSelectClause>", begin);
  if (begin == std::string::npos || end == std::string::npos) return "";
  std::string sql;
  for (size_t at = xml.find("<Item", begin); at < end; at = xml.find("<Item", at)) {
    const size_t text = xml.find('>', at) + 1;
    const size_t close = xml.find("</Item", text);
    sql += xml.substr(text, close - text) + "\n";
    at = close + 1;
  }
  for (const auto& [escape, plain] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
    for (size_t at = sql.find(escape); at != std::string::npos; at = sql.find(escape, at + 1))
      sql.replace(at, std::string(escape).size(), plain);
  }
  return sql;
}

class DemoPortal : public ::testing::Test {
 protected:
  // Built once: the folder is only read by the tests.
  static void SetUpTestSuite() {
    demo = new Deployment();
    const std::string log = demo->Dir() + "-build.log";
    const std::string command = std::string(TESSARO_SOURCE_DIR) + "/scripts/build-demo-site '" + TESSARO_BUILD_DIR +
                                "' '" + demo->Dir() + "' >'" + log + "' 2>&1";
    build_status = std::system(command.c_str());
    build_log = ReadWhole(log);
    std::remove(log.c_str());
  }
  static void TearDownTestSuite() {
    delete demo;
    demo = nullptr;
  }
  void SetUp() override { ASSERT_EQ(build_status, 0) << build_log; }

  // The database file the folder's server.ini connects to.
  static std::string DatabasePath() {
    const std::string ini = ReadWhole(demo->Dir() + "/server.ini");
    const std::string key = "\nR_ConnectionString=";
    const size_t line = ini.find(key);
    if (line == std::string::npos) return "";
    const size_t begin = ini.find("Database=", line) + 9;
    return ini.substr(begin, ini.find(';', begin) - begin);
  }

  // Runs `sql` with the sqlite3 shell against the demo database after binding
  // `parameters` (lines of ".parameter set :NAME literal"); its output rows.
  static std::string Query(const std::string& sql, const std::string& parameters) {
    const std::string script = demo->Dir() + "-query.sql";
    const std::string out = demo->Dir() + "-query.out";
    std::ofstream(script) << ".bail on\n.mode list\n" << parameters << sql << ";\n";
    const std::string command = "sqlite3 -readonly '" + DatabasePath() + "' <'" + script + "' >'" + out + "' 2>&1";
    const int status = std::system(command.c_str());
    std::string rows = ReadWhole(out);
    std::remove(script.c_str());
    std::remove(out.c_str());
    return status == 0 ? rows : "sqlite3 failed: " + rows;
  }

  static CgiResponse MainPage(const Deployment& site, const std::string& user_cookie) {
    return site.Get("/main", "", {{"HTTP_COOKIE", kSession + "; " + user_cookie}});
  }
  // A copy of the demo folder (with its own link to the program) whose
  // tessaro0.ini has `from` replaced by `to`.
  static void CopyDemoWith(const Deployment& copy, const std::string& from, const std::string& to) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(demo->Dir()))
      if (entry.path().filename() != "tessaro.cgi")
        fs::copy(entry.path(), fs::path(copy.Dir()) / entry.path().filename(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::string ini = ReadWhole(copy.Dir() + "/tessaro0.ini");
    const size_t at = ini.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    copy.WriteFile("tessaro0.ini", ini.replace(at, from.size(), to));
  }

  static inline Deployment* demo = nullptr;
  static inline int build_status = -1;
  static inline std::string build_log;
};

TEST_F(DemoPortal, AdministratorsCheckFindsNoProblems) {
  AdminResult check = RunAdmin({"check", "qmxdef.idt", "user.idt"}, demo->Dir());
  EXPECT_EQ(check.exit_code, 0) << check.out << check.err;
  EXPECT_EQ(check.out, "No problems found.\n") << check.err;
}

TEST_F(DemoPortal, EveryDemoAccountLogsInAndAWrongPasswordDoesNot) {
  const struct {
    const char* username;
    const char* password;
    bool logs_in;
  } cases[] = {
      {"ruzicka", "zahrada", true},  // a customer
      {"stastna", "kvetiny", true},  // another customer
      {"kriz", "obchod", true},      // the salesperson
      {"kriz", "zahrada", false},    // another account's password
      {"quokka", "pelican", false},  // the test page's login is no account
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.username + std::string("/") + c.password);
    CgiResponse r =
        demo->Post("/CheckLogin", std::string("USRNAME=") + c.username + "&PSWD=" + c.password + "&logdest=%2Fmain",
                   "application/x-www-form-urlencoded", {{"HTTP_COOKIE", kSession}});
    EXPECT_EQ(r.status_text, "200 OK");
    std::string user_cookie;
    for (const std::string& cookie : r.Cookies())
      if (cookie.rfind("ZNKCGIUSERID=", 0) == 0) user_cookie = cookie.substr(13, cookie.find(';') - 13);
    if (c.logs_in) {
      EXPECT_NE(r.body.find("Přihlášení proběhlo"), std::string::npos) << r.body;
      EXPECT_NE(r.body.find("/main"), std::string::npos) << r.body;
      // The demo's settings sign the user cookie.
      EXPECT_EQ(user_cookie.rfind("v1.", 0), 0u) << user_cookie;
    } else {
      EXPECT_EQ(r.body.find("Přihlášení proběhlo"), std::string::npos) << r.body;
      EXPECT_TRUE(user_cookie.empty() || user_cookie.rfind("v1.", 0) != 0) << user_cookie;
    }
  }
}

// A customer's list is bound to the customer of the account: the same SQL with
// each demo customer's id gives that customer's orders only.
TEST_F(DemoPortal, CustomersOrdersRunAgainstTheServedDatabase) {
  const std::string sql =
      EvidenceSql(ReadWhole(std::string(TESSARO_SOURCE_DIR) + "/demo/portal.xml"), "Moje objednávky");
  ASSERT_NE(sql.find(":CID"), std::string::npos) << sql;
  const std::string ruzicka = Query(sql, ".parameter set :CID 1\n.parameter set :STAV NULL\n");
  EXPECT_NE(ruzicka.find("OBJ-2026-015|2026-12-01|Nová|Vánoční výzdoba – lavice do výlohy"), std::string::npos)
      << ruzicka;
  EXPECT_EQ(std::count(ruzicka.begin(), ruzicka.end(), '\n'), 4) << ruzicka;
  EXPECT_EQ(ruzicka.find("Zavolat před doručením"), std::string::npos) << ruzicka;

  const std::string stastna = Query(sql, ".parameter set :CID 2\n.parameter set :STAV \"'Odeslaná'\"\n");
  EXPECT_EQ(stastna,
            "8|OBJ-2026-008|2026-04-06|Odeslaná|Květiny na Velikonoce\n"
            "3|OBJ-2026-003|2026-02-03|Odeslaná|Zavolat před doručením\n");
}

TEST_F(DemoPortal, SalespersonsCustomerFilterMatchesCzechText) {
  const std::string sql = EvidenceSql(ReadWhole(std::string(TESSARO_SOURCE_DIR) + "/demo/portal.xml"), "Zákazníci");
  ASSERT_NE(sql.find(":NAZEV"), std::string::npos) << sql;
  EXPECT_EQ(Query(sql, ".parameter set :NAZEV \"'Žďár'\"\n"),
            "3|Lesní školka Žďár a.s.|60935412|Přemysl Kořínek|Žďár nad Sázavou|korinek@example.cz|1\n");
  const std::string all = Query(sql, ".parameter set :NAZEV NULL\n");
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 12) << all;
}

// The salesperson's orders filter by customer (a lookup), a date range and a
// text found in the number, the note or the customer's name.
TEST_F(DemoPortal, SalespersonsOrdersFilterByCustomerDatesAndText) {
  const std::string sql = EvidenceSql(ReadWhole(std::string(TESSARO_SOURCE_DIR) + "/demo/portal.xml"), "Objednávky");
  ASSERT_NE(sql.find(":HLEDAT"), std::string::npos) << sql;
  auto numbers = [&](const std::string& customer, const std::string& from, const std::string& to,
                     const std::string& text) {
    const std::string rows = Query(sql, ".parameter set :ZAKAZNIK " + customer + "\n.parameter set :OD " + from +
                                            "\n.parameter set :DO " + to + "\n.parameter set :HLEDAT " + text + "\n");
    std::string found;
    for (size_t at = rows.find("OBJ-"); at != std::string::npos; at = rows.find("OBJ-", at + 1))
      found += rows.substr(at + 9, 3) + " ";
    return found.empty() ? rows : found;
  };
  EXPECT_EQ(numbers("NULL", "NULL", "NULL", "NULL").size(), 15u * 4);
  EXPECT_EQ(numbers("1", "NULL", "NULL", "NULL"), "015 010 004 001 ");
  EXPECT_EQ(numbers("NULL", "\"'2026-03-01'\"", "\"'2026-04-06'\"", "NULL"), "008 007 006 005 ");
  EXPECT_EQ(numbers("NULL", "NULL", "NULL", "\"'lavice'\""), "015 ");
  EXPECT_EQ(numbers("NULL", "NULL", "NULL", "\"'Žďár'\""), "002 ");
  EXPECT_EQ(numbers("2", "\"'2026-03-01'\"", "NULL", "\"'Velikonoce'\""), "008 ");
}

// The salesperson's orders link each order to the detail page its state
// picks and to the action that takes it over (asked first); a customer's invoices are cards of
// the record template under the totals of the account's body record.
TEST_F(DemoPortal, ListsLinkRecordsAndShowCardsWithTotals) {
  const std::string odbc = ProjectOdbcFolder();
  const std::string kriz = LoginCookie(*demo, "kriz", "obchod");
  CgiResponse orders = demo->Get("/ShowList", "ID=%7BDE000004-0000-4000-8000-000000000004%7D&rows=3",
                                 {{"HTTP_COOKIE", kSession + "; " + kriz}, {"ODBCSYSINI", odbc}});
  const std::string query = "?ID=%7bDE000004-0000-4000-8000-000000000004%7d&amp;EID=";
  // A new order opens the page for new orders (the switch by state), a
  // handled one the regular page.
  for (const auto& [pid, page, state] : {std::tuple{"15", "4", "Nova"}, {"13", "3", "Vyrizuje+se"}})
    EXPECT_NE(orders.body.find(std::string("<A HREF=\"http://localhost/tessaro.cgi/ShowDetail") + query +
                               "%7bDE000006-0000-4000-8000-00000000000" + page + "%7d&amp;PID=" + pid +
                               "&amp;PID2=&amp;FID=" + state + "\" class=\"odkaz\">Otevřít</A>"),
              std::string::npos)
        << orders.body;
  EXPECT_NE(orders.body.find("<A HREF=\"javascript:PromptedUrl('http://localhost/tessaro.cgi/Action" + query +
                             "%7bDE000007-0000-4000-8000-000000000001%7d&amp;PID=15&amp;PID2=&amp;FID=Vyridit',"
                             "'Převzít objednávku k vyřízení?',null)\">Vyřídit</A>"),
            std::string::npos)
      << orders.body;
  EXPECT_NE(orders.body.find("<tfoot class=\"soucty\"><tr><TH>&nbsp;</TH>"), std::string::npos) << orders.body;

  const std::string ruzicka = LoginCookie(*demo, "ruzicka", "zahrada");
  CgiResponse invoices = demo->Get("/ShowList", "ID=%7BDE000004-0000-4000-8000-000000000002%7D",
                                   {{"HTTP_COOKIE", kSession + "; " + ruzicka}, {"ODBCSYSINI", odbc}});
  EXPECT_NE(invoices.body.find("<div>Faktur<strong>3</strong></div><div>Celkem<strong>25\u00a0605,78&nbsp;Kč"),
            std::string::npos)
      << invoices.body;
  EXPECT_NE(invoices.body.find("<h3>1. faktura FV-2026-0009</h3>"), std::string::npos) << invoices.body;
  EXPECT_NE(invoices.body.find("<h3>3. faktura FV-2026-0001</h3>"), std::string::npos) << invoices.body;
  EXPECT_EQ(invoices.body.find("FV-2026-0002"), std::string::npos) << "another customer's invoice";
}

TEST_F(DemoPortal, MainPageShowsTheMenuAndBoardOfTheVisitorsRole) {
  const struct {
    const char* username;
    const char* password;
    std::vector<std::string> shown;
    std::vector<std::string> not_shown;
  } cases[] = {
      {"ruzicka",
       "zahrada",
       {"Moje objednávky", "Moje faktury", "Jiří Růžička (Zákazník)", "doručíme před Vánocemi"},
       {"Zákazníci", "Zboží"}},
      {"kriz",
       "obchod",
       {"Zákazníci", "Objednávky", "Zboží", "Martin Kříž (Obchodník)"},
       {"Moje objednávky", "doručíme před Vánocemi"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.username);
    const std::string cookie = LoginCookie(*demo, c.username, c.password);
    ASSERT_FALSE(cookie.empty());
    CgiResponse r = MainPage(*demo, cookie);
    EXPECT_EQ(r.status_text, "200 OK");
    const std::string menu = r.body.substr(0, r.body.find("</nav>"));
    for (const std::string& text : c.shown) EXPECT_NE(r.body.find(text), std::string::npos) << text << r.body;
    for (const std::string& text : c.not_shown) EXPECT_EQ(r.body.find(text), std::string::npos) << text << r.body;
    EXPECT_NE(r.body.find("Vítejte na portálu Zelené louky.<br>"), std::string::npos) << r.body;
    EXPECT_NE(menu.find("/ShowList?ID={"), std::string::npos) << menu;
  }
}

TEST_F(DemoPortal, MainPageSendsAnUnknownOrForgedAccountToTheLoginPage) {
  const std::string good = LoginCookie(*demo, "ruzicka", "zahrada");
  ASSERT_EQ(good.rfind("ZNKCGIUSERID=v1.", 0), 0u) << good;
  std::string forged = good;
  forged.back() = forged.back() == '0' ? '1' : '0';
  for (const std::string& cookie :
       {std::string(), std::string("ZNKCGIUSERID=") + good.substr(16, 32),  // the unsigned form of a signed portal
        forged, std::string("ZNKCGIUSERID=v1.") + std::string(4000, 'G'), std::string("ZNKCGIUSERID=%00%22%3c")}) {
    SCOPED_TRACE(cookie);
    CgiResponse r = MainPage(*demo, cookie);
    EXPECT_EQ(r.status_text, "200 OK");
    EXPECT_NE(r.body.find("name=\"PSWD\""), std::string::npos) << r.body;
    EXPECT_EQ(r.body.find("Moje objednávky"), std::string::npos) << r.body;
  }
}

// The salesperson's product list shows each product's picture as a thumbnail
// from /ShowImg, fitted into the demo's 64 x 64; the watering can's PNG and a
// product without a picture get the default picture.
TEST_F(DemoPortal, ProductListShowsThumbnailsOfTheStoredPictures) {
  const std::string odbc = ProjectOdbcFolder();
  const std::string kriz = LoginCookie(*demo, "kriz", "obchod");
  const std::string item = "%7BDE000004-0000-4000-8000-000000000005%7D";
  CgiResponse list =
      demo->Get("/ShowList", "ID=" + item, {{"HTTP_COOKIE", kSession + "; " + kriz}, {"ODBCSYSINI", odbc}});
  EXPECT_NE(list.body.find("<img src=\"http://localhost/tessaro.cgi/ShowImg?ID=%7bDE000004-0000-4000-8000-"
                           "000000000005%7d&amp;PID=1&amp;IMGW=64&amp;IMGH=64&amp;IMGF=picture\" alt=\"picture\" >"),
            std::string::npos)
      << list.body;
  const struct {
    std::string pid, size;
  } cases[] = {{"1", "64x48"}, {"2", "48x64"}, {"5", "64x43"}, {"10", "64x48"}, {"13", "64x40"}, {"11", "64x64"}};
  for (const auto& c : cases) {
    CgiResponse r = demo->Get("/ShowImg", "ID=" + item + "&PID=" + c.pid + "&IMGW=64&IMGH=64&IMGF=picture",
                              {{"HTTP_COOKIE", kSession + "; " + kriz}, {"ODBCSYSINI", odbc}});
    std::optional<TRgbImage> picture = DecodeJpeg(r.body);
    EXPECT_EQ(picture ? std::to_string(picture->Width) + "x" + std::to_string(picture->Height) : "none", c.size)
        << c.pid;
  }
}

// A failing main page shows the portal's error template with only the
// escaped message; when that template fails too, the plain error page.
TEST_F(DemoPortal, FailureOnTheMainPageShowsTheErrorTemplate) {
  Deployment broken;
  CopyDemoWith(broken, "pgROZCESTNIK=main.html", "pgROZCESTNIK=<i>chybi</i>.html");
  CgiResponse r = MainPage(broken, LoginCookie(broken, "ruzicka", "zahrada"));
  EXPECT_NE(r.body.find("<h1>Chyba č.500: Internal Server Error</h1>"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("&lt;i&gt;chybi&lt;/i&gt;.html"), std::string::npos) << r.body;
  EXPECT_EQ(r.body.find("<i>chybi"), std::string::npos) << r.body;
  EXPECT_EQ(r.body.find(broken.Dir()), std::string::npos) << r.body;

  Deployment twice;
  CopyDemoWith(twice, "pgROZCESTNIK=main.html\npgERROR=error.html", "pgROZCESTNIK=x.html\npgERROR=y.html");
  r = MainPage(twice, LoginCookie(twice, "ruzicka", "zahrada"));
  EXPECT_NE(r.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << r.body;
  EXPECT_NE(r.body.find("x.html"), std::string::npos) << r.body;
}

}  // namespace
}  // namespace tessaro::testing
