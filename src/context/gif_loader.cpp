// giflib's library is opened by its run-time name, libgif.so.7, and every
// function is looked up before any is used, so that a decoder that starts
// reading never meets a missing function half-way through a file.
#include <dlfcn.h>

#include <string>

#include "context/gif_library.h"
#include "util/exception.h"

namespace tessaro {
namespace {

constexpr const char* kGifLibraryName = "libgif.so.7";

template <class Function>
void Resolve(void* handle, const char* name, Function& function) {
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr) throw Exception(std::string("giflib has no function ") + name);
  function = reinterpret_cast<Function>(symbol);
}

TGifLibrary Load() {
  void* handle = dlopen(kGifLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    throw Exception(std::string("Cannot load giflib: ") + (why ? why : kGifLibraryName));
  }
  TGifLibrary library{};
  Resolve(handle, "DGifOpen", library.Open);
  Resolve(handle, "DGifCloseFile", library.CloseFile);
  Resolve(handle, "DGifGetRecordType", library.GetRecordType);
  Resolve(handle, "DGifGetImageDesc", library.GetImageDesc);
  Resolve(handle, "DGifGetLine", library.GetLine);
  Resolve(handle, "DGifGetExtension", library.GetExtension);
  Resolve(handle, "DGifGetExtensionNext", library.GetExtensionNext);
  return library;
}

}  // namespace

const TGifLibrary& GifLibrary() {
  static const TGifLibrary library = Load();
  return library;
}

}  // namespace tessaro
