// Fuzz target for the definition and user file reader: the input is a whole
// file (header, possibly compressed body), read the way a request reads it
// and then parsed as a definition file and as a user file, linked and
// completed. Every damaged input must end in an Exception, never in a crash,
// a hang or a huge allocation.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/connection_manager.h"
#include "model/inet_mgr_model.h"
#include "model/io/model_file.h"
#include "util/exception.h"

namespace {

// The input goes through the real file reader, inflater included, by way of
// an in-memory file.
const std::string& InputFile() {
  static const std::string name = [] {
    const int fd = memfd_create("model_file_fuzz", 0);
    return "/proc/self/fd/" + std::to_string(fd);
  }();
  return name;
}

void Parse(const std::vector<uint8_t>& buffer, bool as_user_file) {
  tessaro::TInetMgrModel model;
  tessaro::TConnectionManager definition, user;
  model.Mode = as_user_file ? tessaro::TInetMgrModel::kUserDataMode : tessaro::TInetMgrModel::kDefinitionsMode;
  try {
    tessaro::ReadStreams(model, as_user_file ? nullptr : &buffer, as_user_file ? &buffer : nullptr,
                         {&definition, &user});
    model.LinkAll();
    model.AfterLoadAll();
  } catch (const tessaro::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& name = InputFile();
  const int fd = std::stoi(name.substr(name.rfind('/') + 1));
  if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  std::vector<uint8_t> buffer;
  try {
    tessaro::ReadFileToStream(name, buffer);
  } catch (const tessaro::Exception&) {
    return 0;
  }
  Parse(buffer, false);
  Parse(buffer, true);
  return 0;
}
