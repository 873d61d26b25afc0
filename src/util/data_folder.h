// The portal's own data folder: where the program writes what it keeps
// between requests (the start-up log, the failed-login counts). An
// administrator names it with the environment variable QMXDATA; without it
// the folder is qmxdata/ beside the executable.
#pragma once

#include <string>

namespace tessaro {

// The data folder, ending with "/". Read from the process environment only:
// a request header can never name it.
std::string DataFolder();

// Creates the data folder itself (not its parents) with mode 0700 when it
// does not exist. False, with errno set, when it neither exists nor can be made.
bool EnsureDataFolder();

}  // namespace tessaro
