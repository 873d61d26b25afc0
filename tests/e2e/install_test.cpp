// What an administrator installs: the build's install rules, stripped, into
// a staging folder, and the installed program answering a request from a
// portal folder that links to it.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/cgi_runner.h"
#include "e2e/web_server_harness.h"

namespace tessaro::testing {
namespace {

TEST(Install, GivesStrippedProgramsTheDriverListAndTheServerTemplates) {
  RunFolder stage;
  const std::string prefix = stage.Path() + "/usr";
  const std::string log = CommandOutput("cmake --install '" + std::string(TESSARO_BUILD_DIR) + "' --strip --prefix '" +
                                        prefix + "' 2>&1; echo exit=$?");
  ASSERT_NE(log.find("exit=0"), std::string::npos) << log;

  const std::string cgi = prefix + "/lib/tessaro/tessaro.cgi";
  for (const std::string& file :
       {cgi, prefix + "/bin/tessaro-admin", prefix + "/share/tessaro/odbc/odbcinst.ini",
        prefix + "/share/tessaro/deploy/lighttpd.conf", prefix + "/share/tessaro/deploy/lighttpd-portal.conf",
        prefix + "/share/tessaro/deploy/apache-portal.conf", prefix + "/share/tessaro/deploy/nginx-portal.conf",
        prefix + "/share/tessaro/deploy/fcgiwrap.default"})
    EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
  for (const std::string& program : {cgi, prefix + "/bin/tessaro-admin"}) {
    EXPECT_EQ(CommandOutput("readelf -S '" + program + "' | grep -c -e '\\.debug_info' -e '\\.symtab'"), "0\n")
        << program << " still has debug information or symbols";
  }

  // A portal folder whose tessaro.cgi links to the installed program.
  Deployment d;
  std::filesystem::remove(d.CgiPath());
  std::filesystem::create_symlink(cgi, d.CgiPath());
  CgiResponse r = d.Get("/unknown");
  EXPECT_EQ(r.exit_code, 0) << r.stderr_text;
  EXPECT_NE(r.body.find("<TITLE>Chyba</TITLE>"), std::string::npos) << r.raw;
}

}  // namespace
}  // namespace tessaro::testing
