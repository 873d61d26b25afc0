// Record-action handlers: finding the library that serves a class
// identifier, loading it and creating the handler. The administrator maps
// identifiers to library files in the options' [ACTIONHANDLERS] section; the
// library is opened only when an action needs it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tessaro/record_action_handler.h"

namespace tessaro {

class TStrings;

// Releases a handler's reference.
struct TActionHandlerRelease {
  void operator()(TessaroRecordActionHandler* handler) const;
};
using TActionHandlerPtr = std::unique_ptr<TessaroRecordActionHandler, TActionHandlerRelease>;

// The library file `mapping` (lines "{GUID}=path") gives `class_id`, the
// path taken from `base_dir` unless it is absolute; empty when the
// identifier is not mapped. Identifiers compare without regard to case.
std::string ActionHandlerLibrary(const TStrings& mapping, std::string_view class_id, std::string_view base_dir);

// Creates the handler of `class_id` from its library. Throws Exception when
// the identifier is not mapped, the library cannot be loaded, lacks the entry
// point, or the entry point reports failure or gives no handler.
TActionHandlerPtr CreateActionHandler(const TStrings& mapping, std::string_view class_id, std::string_view base_dir);

}  // namespace tessaro
