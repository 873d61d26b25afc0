// The version of the portal's executable, as shown on its pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaro {

struct TFileVersion {
  uint16_t Major = 0;
  uint16_t Minor = 0;
  uint16_t Release = 0;
  uint16_t Build = 0;
};

// The version numbers of `file`. Executables here carry no version resource:
// the numbers are compiled in from the build, so only the running executable
// itself (under any path or link that leads to it) has a version; every other
// file, and a file that does not exist, gives all four 0.
TFileVersion FileVersion(std::string_view file);

// "major.minorrelease , build N" of the running program (minor and release
// side by side), computed once per process.
const std::string& BuildVersionText();

}  // namespace tessaro
