// Version numbers of files.
//
// The build compiles its version numbers into the program, in place of the
// version resource an executable file would carry. A file is recognised as
// the running executable by its identity (device and inode, links followed),
// not by its name, so the path the process was started as, a symbolic link to
// the program and /proc/self/exe all count as the program itself.
#include "util/file_version.h"

#include <sys/stat.h>

#include <string>

#include "util/format.h"
#include "util/module_path.h"

#ifndef TESSARO_VERSION_MAJOR
#define TESSARO_VERSION_MAJOR 0
#endif
#ifndef TESSARO_VERSION_MINOR
#define TESSARO_VERSION_MINOR 0
#endif
#ifndef TESSARO_VERSION_PATCH
#define TESSARO_VERSION_PATCH 0
#endif
#ifndef TESSARO_VERSION_BUILD
#define TESSARO_VERSION_BUILD 0
#endif

namespace tessaro {
namespace {

bool IsRunningExecutable(const std::string& file) {
  struct stat self, other;
  if (file.empty() || stat("/proc/self/exe", &self) != 0 || stat(file.c_str(), &other) != 0) return false;
  return self.st_dev == other.st_dev && self.st_ino == other.st_ino;
}

}  // namespace

TFileVersion FileVersion(std::string_view file) {
  // A name with a NUL byte names no file.
  if (file.find('\0') != std::string_view::npos || !IsRunningExecutable(std::string(file))) return {};
  return {static_cast<uint16_t>(TESSARO_VERSION_MAJOR), static_cast<uint16_t>(TESSARO_VERSION_MINOR),
          static_cast<uint16_t>(TESSARO_VERSION_PATCH), static_cast<uint16_t>(TESSARO_VERSION_BUILD)};
}

const std::string& BuildVersionText() {
  static const std::string text = [] {
    TFileVersion v = FileVersion(ModuleFileName());
    return Format("%d.%d%d , build %d", {v.Major, v.Minor, v.Release, v.Build});
  }();
  return text;
}

}  // namespace tessaro
