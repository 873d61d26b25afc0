// Writing the definition and user files of a model in any format version,
// compressed or not: what administrators' tools make, and what tests use to
// make files of every version.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/io/model_file.h"

namespace tessaro {

class TConnectionManager;
class TInetMgrModel;

struct TModelFileFormat {
  uint16_t version = kHighestModelFileVersion;  // 1 .. kHighestModelFileVersion
  bool compressed = true;                       // the body as one zlib stream
};

// The bytes of a definition file holding `connection` and the model's
// definitions. Versions up to 4 store evidence items in the old record (the
// item's first detail page folded into it; actions and further pages are
// not stored), versions up to 17 store no detail page switches. Throws
// Exception for a version outside 1 .. kHighestModelFileVersion.
std::string DefinitionFileBytes(const TInetMgrModel& model, const TConnectionManager& connection,
                                TModelFileFormat format);
// The bytes of a user file holding `connection`, the accounts and (from
// version 4 on) both kinds of overrides.
std::string UserFileBytes(const TInetMgrModel& model, const TConnectionManager& connection, TModelFileFormat format);

// Replaces the file `file_name` with `bytes`: written beside it under a
// temporary name, then renamed over it, so a reader never sees half a file.
// Throws Exception naming the file when that fails.
void WriteFileReplacing(const std::string& file_name, std::string_view bytes);

}  // namespace tessaro
