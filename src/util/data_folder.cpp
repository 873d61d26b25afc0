// The data folder named by QMXDATA, or qmxdata/ beside the executable.
#include "util/data_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "util/module_path.h"

namespace tessaro {

std::string DataFolder() {
  const char* named = std::getenv("QMXDATA");
  if (named != nullptr && *named != '\0') return IncludeBackslash(NormalizePathSeparators(named));
  return ModuleDir() + "qmxdata/";
}

bool EnsureDataFolder() {
  std::string folder = DataFolder();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace tessaro
