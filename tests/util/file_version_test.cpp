#include "util/file_version.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tessaro {
namespace {

void ExpectVersion(const TFileVersion& v, int major, int minor, int release, int build) {
  EXPECT_EQ(v.Major, major);
  EXPECT_EQ(v.Minor, minor);
  EXPECT_EQ(v.Release, release);
  EXPECT_EQ(v.Build, build);
}

TEST(FileVersion, TheRunningProgramHasTheBuildsVersionUnderAnyPath) {
  std::string program = std::string(TESSARO_BUILD_DIR) + "/tests/util_tests";
  char folder_template[] = "/tmp/file_version_XXXXXX";
  ASSERT_NE(mkdtemp(folder_template), nullptr);
  std::filesystem::path folder = folder_template;
  std::filesystem::create_symlink(program, folder / "tessaro.cgi");
  for (std::string path : {std::string("/proc/self/exe"), program, (folder / "tessaro.cgi").string()}) {
    SCOPED_TRACE(path);
    ExpectVersion(FileVersion(path), TESSARO_VERSION_MAJOR, TESSARO_VERSION_MINOR, TESSARO_VERSION_PATCH,
                  TESSARO_VERSION_BUILD);
  }
  std::filesystem::remove_all(folder);
}

TEST(FileVersion, AnyOtherFileHasNone) {
  const std::string others[] = {"", "/", "/bin/sh", "/no/such/file", std::string("/proc/self/exe\0x", 16)};
  for (const std::string& path : others) {
    SCOPED_TRACE(path);
    ExpectVersion(FileVersion(path), 0, 0, 0, 0);
  }
}

}  // namespace
}  // namespace tessaro
