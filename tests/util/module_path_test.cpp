#include "util/module_path.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

std::string CurrentDir() { return std::filesystem::current_path().string(); }

std::string KernelPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

// A scratch folder the test may change into; the original folder, PATH and
// the recorded module path are restored afterwards.
class ModulePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tessaro-module-XXXXXX";
    dir_ = std::filesystem::canonical(mkdtemp(pattern)).string();  // as getcwd reports it
    old_dir_ = CurrentDir();
    const char* path = getenv("PATH");
    old_path_ = path ? path : "";
  }
  void TearDown() override {
    SetModuleFileName("");
    std::filesystem::current_path(old_dir_);
    setenv("PATH", old_path_.c_str(), 1);
    std::filesystem::remove_all(dir_);
  }
  void MakeExecutable(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    chmod(path.c_str(), 0755);
  }
  std::string dir_;       // the scratch folder
  std::string old_dir_;   // the folder to return to
  std::string old_path_;  // PATH to restore
};

TEST_F(ModulePathTest, TheStartPathGivesTheFolderAndTheIniName) {
  SetModuleFileName("/srv/portal/tessaro.cgi");
  EXPECT_EQ(ModuleFileName(), "/srv/portal/tessaro.cgi");
  EXPECT_EQ(ModuleDir(), "/srv/portal/");
  EXPECT_EQ(ModuleIniFileName(), "/srv/portal/tessaro.INI");

  // Relative to the folder at start-up, which later changes of folder do not affect.
  std::filesystem::current_path(dir_);
  SetModuleFileName("bin/./tessaro.cgi");
  std::filesystem::current_path("/");
  EXPECT_EQ(ModuleFileName(), dir_ + "/bin/tessaro.cgi");
}

TEST_F(ModulePathTest, TextsLosePathsOfThePortalFolder) {
  SetModuleFileName("/srv/portal/tessaro.cgi");
  const std::pair<const char*, const char*> cases[] = {
      {"Cannot open file \"/srv/portal/templates/x.html\"", "Cannot open file \"templates/x.html\""},
      {"/srv/portal/a and /srv/portal/b", "a and b"},
      {"/srv/portalx/a /srv/portal", "/srv/portalx/a /srv/portal"},  // other folders stay whole
      {"/etc/templates/x.html", "/etc/templates/x.html"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(WithoutModuleDir(in), out) << in;
  SetModuleFileName("/tessaro.cgi");
  EXPECT_EQ(WithoutModuleDir("/templates/x.html"), "/templates/x.html");  // the root folder is not removed
}

TEST_F(ModulePathTest, LinksInTheStartPathAreKept) {
  MakeExecutable(dir_ + "/install/tessaro.cgi");
  std::filesystem::create_directory(dir_ + "/portal");
  std::filesystem::create_symlink(dir_ + "/install/tessaro.cgi", dir_ + "/portal/tessaro.cgi");
  SetModuleFileName(dir_ + "/portal/tessaro.cgi");
  EXPECT_EQ(ModuleDir(), dir_ + "/portal/");
}

TEST_F(ModulePathTest, ABareNameIsLookedForInTheCurrentFolderThenAlongPath) {
  MakeExecutable(dir_ + "/here/tessaro.cgi");
  MakeExecutable(dir_ + "/onpath/tool");
  setenv("PATH", (dir_ + "/empty:" + dir_ + "/onpath").c_str(), 1);
  std::filesystem::current_path(dir_ + "/here");
  SetModuleFileName("tessaro.cgi");  // how Apache starts a CGI
  EXPECT_EQ(ModuleFileName(), dir_ + "/here/tessaro.cgi");
  SetModuleFileName("tool");
  EXPECT_EQ(ModuleFileName(), dir_ + "/onpath/tool");
  SetModuleFileName("nowhere");
  EXPECT_EQ(ModuleFileName(), KernelPath());
  SetModuleFileName("");
  EXPECT_EQ(ModuleFileName(), KernelPath());
}

TEST(ModulePath, NameHelpers) {
  const std::pair<const char*, const char*> include_backslash[] = {
      {"", ""}, {"C:", "C:"}, {"/a/", "/a/"}, {"a\\", "a\\"}, {"/a", "/a/"}, {"a", "a/"},
  };
  for (const auto& [in, out] : include_backslash) EXPECT_EQ(IncludeBackslash(in), out) << in;

  const std::pair<const char*, const char*> change_ext[] = {
      {"/x/tessaro.cgi", "/x/tessaro.INI"}, {"/x/tessaro", "/x/tessaro.INI"},
      {"/x.d/tessaro", "/x.d/tessaro.INI"}, {"a.b.c", "a.b.INI"},
      {"x.d\\tessaro", "x.d\\tessaro.INI"},
  };
  for (const auto& [in, out] : change_ext) EXPECT_EQ(ChangeFileExt(in, ".INI"), out) << in;

  EXPECT_EQ(ExtractFilePath("/srv/portal/tessaro.cgi"), "/srv/portal/");
  EXPECT_EQ(ExtractFilePath("dir\\file"), "dir\\");
  EXPECT_EQ(ExtractFilePath("file"), "");
  EXPECT_EQ(NormalizePathSeparators("templates\\cz\\page.html"), "templates/cz/page.html");

  const std::pair<const char*, const char*> expand[] = {
      {"/a//b/./c", "/a/b/c"}, {"/a/../b", "/a/../b"}, {"/a/b/", "/a/b/"}, {"/a/.", "/a/"}, {"/", "/"},
  };
  for (const auto& [in, out] : expand) EXPECT_EQ(ExpandFileName(in), out) << in;
  EXPECT_EQ(ExpandFileName("x.ini"), CurrentDir() + "/x.ini");
}

}  // namespace
}  // namespace tessaro
