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

// The new content of a file, written beside it under a name of its own
// (made for it, never an existing file), until Commit renames it over the
// file. Until then the file is untouched; an object that goes away without
// Commit removes what it wrote. Errors are Exceptions naming the file.
class TStagedFile {
 public:
  TStagedFile(std::string file_name, std::string_view bytes);
  ~TStagedFile();
  TStagedFile(const TStagedFile&) = delete;
  TStagedFile& operator=(const TStagedFile&) = delete;

  // Where the new content is until Commit; it may be read meanwhile.
  const std::string& StagedName() const { return staged_; }
  // Replaces the file with the new content in one step.
  void Commit();

 private:
  std::string file_name_;  // the file to replace
  std::string staged_;     // the new content's name; empty once committed
};

// Replaces the file `file_name` with `bytes` through a TStagedFile, so a
// reader never sees half a file.
void WriteFileReplacing(const std::string& file_name, std::string_view bytes);

}  // namespace tessaro
