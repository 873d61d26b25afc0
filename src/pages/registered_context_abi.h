// TRegisteredContextAbi: a logged-in visitor's context as the C table of
// include/tessaro/registered_context.h, for record-action handler plug-ins.
// It converts the portal's windows-1250 texts to UTF-8 and keeps them, the
// lists and the file streams for as long as the header promises; no C++
// exception passes through it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tessaro/registered_context.h"

namespace tessaro {

class TStrings;
class TTessaroRegisteredContext;

class TRegisteredContextAbi {
 public:
  // The table reads `context`, which must outlive it (the context owns it).
  explicit TRegisteredContextAbi(TTessaroRegisteredContext& context);
  TRegisteredContextAbi(const TRegisteredContextAbi&) = delete;
  TRegisteredContextAbi& operator=(const TRegisteredContextAbi&) = delete;

  TessaroRegisteredContext* Interface() { return &interface_; }

  // A list handed to a plug-in: its lines in UTF-8.
  struct List {
    TessaroStringList c{};
    std::vector<std::string> lines;
    void Fill(const TStrings& source);
  };
  // An uploaded file's bytes as a stream, and the position in them.
  struct Stream {
    TessaroStream c{};
    std::string_view bytes;
    int64_t position = 0;
  };
  // The texts last returned by each text function, kept until its next call.
  enum TextSlot { kConnectionString, kDefaultCatalog, kFileFieldName, kFileName, kRemoteAddr, kSessionID, kTextSlots };

  TTessaroRegisteredContext& context;
  std::string texts[kTextSlots];
  List account_params, options_fields, request_fields;
  std::map<int32_t, Stream> streams;  // by file index; -1 for "no such file"

 private:
  TessaroRegisteredContext interface_{};
};

}  // namespace tessaro
