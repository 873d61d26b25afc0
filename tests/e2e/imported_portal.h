// What the whole-program tests of the record pages share: a portal folder
// whose definitions and accounts are imported from XML and whose SQLite
// database is made from SQL, the driver list the program is pointed at, and
// the user cookie of a login.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "e2e/admin_runner.h"
#include "e2e/cgi_runner.h"

namespace tessaro::testing {

// The session cookie the portal tests send.
inline const std::string kPortalTestSession = "ZNKSESSIONID=%7b6F9619FF-8B86-D011-B42D-00C04FC964FF%7d";

// The project's ODBC driver list (scripts/odbc), for ODBCSYSINI.
std::string ProjectOdbcFolder();

// The user cookie ("ZNKCGIUSERID=...") a login of `username` gets; empty
// when the login fails.
std::string LoginCookie(const Deployment& site, const std::string& username, const std::string& password);

// A test suite over one such folder, made once: SetUpTestSuite writes the
// settings, templates, portal.xml and data.sql into `site` and calls
// ImportWithDatabase; every test then starts logged in as jan/heslo.
// `Suite` gives each suite statics of its own.
template <class Suite>
class ImportedPortalSuite : public ::testing::Test {
 protected:
  // Imports portal.xml into the folder and runs data.sql into zbozi.db.
  static void ImportWithDatabase() {
    import_result = RunAdmin({"import", "portal.xml", "."}, site->Dir());
    const std::string create = "cd '" + site->Dir() + "' && sqlite3 zbozi.db < data.sql";
    database_status = std::system(create.c_str());
  }
  static void TearDownTestSuite() {
    delete site;
    site = nullptr;
    user_cookie.clear();
  }
  void SetUp() override {
    ASSERT_EQ(import_result.exit_code, 0) << import_result.err;
    ASSERT_EQ(database_status, 0);
    if (user_cookie.empty()) user_cookie = LoginCookie(*site, "jan", "heslo");
    ASSERT_FALSE(user_cookie.empty());
  }
  // The environment of a request of the logged-in visitor (or with
  // `cookies` instead), the database reachable.
  static std::map<std::string, std::string> VisitorEnv(const std::string& cookies = "") {
    return {{"HTTP_COOKIE", cookies.empty() ? kPortalTestSession + "; " + user_cookie : cookies},
            {"ODBCSYSINI", ProjectOdbcFolder()}};
  }

  static inline Deployment* site = nullptr;
  static inline AdminResult import_result;
  static inline int database_status = -1;
  static inline std::string user_cookie;
};

}  // namespace tessaro::testing
