#include "pages/action_handlers.h"

#include <dlfcn.h>

#include "util/exception.h"
#include "util/format.h"
#include "util/string_list.h"
#include "util/text.h"

namespace tessaro {

void TActionHandlerRelease::operator()(TessaroRecordActionHandler* handler) const {
  if (handler != nullptr && handler->vtbl != nullptr && handler->vtbl->Release != nullptr)
    handler->vtbl->Release(handler);
}

std::string ActionHandlerLibrary(const TStrings& mapping, std::string_view class_id, std::string_view base_dir) {
  for (const std::string& line : mapping) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || !SameText(Trim(std::string_view(line).substr(0, eq)), class_id)) continue;
    const std::string path = Trim(std::string_view(line).substr(eq + 1));
    if (path.empty()) return "";
    if (path.front() == '/' || base_dir.empty()) return path;
    std::string full(base_dir);
    if (full.back() != '/') full += '/';
    return full + path;
  }
  return "";
}

TActionHandlerPtr CreateActionHandler(const TStrings& mapping, std::string_view class_id, std::string_view base_dir) {
  const std::string path = ActionHandlerLibrary(mapping, class_id, base_dir);
  if (path.empty()) throw Exception(Format("No action handler is registered for %s", {std::string(class_id)}));
  // The library stays loaded for the rest of the process: the handler's code
  // must outlive its last Release, and the process serves one request.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    throw Exception(Format("Cannot load the action handler library for %s: %s",
                           {std::string(class_id), why != nullptr ? std::string(why) : std::string("unknown error")}));
  }
  auto create = reinterpret_cast<TessaroCreateActionHandlerFn>(dlsym(library, TESSARO_CREATE_ACTION_HANDLER));
  if (create == nullptr)
    throw Exception(Format("The action handler library for %s has no entry point %s",
                           {std::string(class_id), std::string(TESSARO_CREATE_ACTION_HANDLER)}));
  TessaroRecordActionHandler* handler = nullptr;
  const std::string id(class_id);
  const int32_t code = create(id.c_str(), TESSARO_RECORD_ACTION_HANDLER_VERSION, &handler);
  TActionHandlerPtr owned(TESSARO_SUCCEEDED(code) ? handler : nullptr);
  if (!owned || owned->vtbl == nullptr || owned->vtbl->Execute == nullptr || owned->vtbl->GetContent == nullptr)
    throw Exception(Format("The action handler %s could not be created", {id}));
  return owned;
}

}  // namespace tessaro
