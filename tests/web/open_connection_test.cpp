// A page context's database connection comes from the portal's user
// connection settings, read-only or read-write, and keeps its mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/request_context.h"
#include "db/odbc_connection.h"
#include "model/connection_manager.h"
#include "model/global_settings.h"
#include "web/tessaro_options.h"

namespace tessaro {
namespace {

TEST(OpenConnection, ComesFromTheUserConnectionSettings) {
  auto db = std::filesystem::temp_directory_path() / ("tessaro-open-" + std::to_string(getpid()) + ".db");
  TConnectionManager& user = T_GlobalSettings::Instance().UserConnection();
  user.R_ConnectionString = "Driver=SQLite3;Database=" + db.string();
  user.RW_ConnectionString.clear();
  TWebRequest request(CgiEnvironment::FromMap({{"REQUEST_METHOD", "GET"}}), -1);
  TWebResponse response(request, -1);
  TTessaroOptions options;

  EXPECT_EQ(options.NewConnection(false), nullptr);  // no read-write string
  auto context = MakeContext<tRequestContext>(&request, &options, &response);
  context->OpenConnection(true);
  auto* connection = dynamic_cast<TOdbcConnection*>(context->Connection());
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->Mode(), cmRead);
  context->OpenConnection(true);  // the same mode again: nothing happens
  EXPECT_EQ(context->Connection(), connection);
  try {
    context->OpenConnection(false);
    ADD_FAILURE() << "a second mode was accepted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Connection \"readOnly\" mismatch");
  }
  T_GlobalSettings::AccessInstance(T_GlobalSettings::kForget);
  std::filesystem::remove(db);
}

}  // namespace
}  // namespace tessaro
