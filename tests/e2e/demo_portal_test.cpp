// The demo portal as `make demo` builds it: scripts/build-demo-site makes the
// folder (database, imported definitions and accounts, server.ini), the
// administrator's check finds nothing to report, every demo account logs in
// through the real executable, and the evidence items' SQL runs against the
// database the folder's connection names, Czech texts intact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"

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
  for (const auto& [escape, plain] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"},
                                      {"&amp;", "&"}}) {
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
    const std::string command = std::string(TESSARO_SOURCE_DIR) + "/scripts/build-demo-site '" +
                                TESSARO_BUILD_DIR + "' '" + demo->Dir() + "' >'" + log + "' 2>&1";
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
    CgiResponse r = demo->Post("/CheckLogin",
                               std::string("USRNAME=") + c.username + "&PSWD=" + c.password + "&logdest=%2Fmain",
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
  const std::string sql = EvidenceSql(ReadWhole(std::string(TESSARO_SOURCE_DIR) + "/demo/portal.xml"),
                                      "Moje objednávky");
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
  const std::string sql = EvidenceSql(ReadWhole(std::string(TESSARO_SOURCE_DIR) + "/demo/portal.xml"),
                                      "Zákazníci");
  ASSERT_NE(sql.find(":NAZEV"), std::string::npos) << sql;
  EXPECT_EQ(Query(sql, ".parameter set :NAZEV \"'Žďár'\"\n"),
            "3|Lesní školka Žďár a.s.|60935412|Přemysl Kořínek|Žďár nad Sázavou|korinek@example.cz|1\n");
  const std::string all = Query(sql, ".parameter set :NAZEV NULL\n");
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 12) << all;
}

}  // namespace
}  // namespace tessaro::testing
