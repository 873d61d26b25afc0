// FreeType (libfreetype6), loaded on first use.
//
// Only the security-code picture draws text, so the CGI program is not linked
// with the library: this file defines the FreeType functions the picture
// calls, each forwarding to the function of the same name in
// libfreetype.so.6, opened with dlopen the first time one of them is called.
// When the library cannot be loaded the call raises Exception naming it and
// the loader's reason; the picture calls each function from its own code, so
// the exception never crosses the library's frames.
#include <dlfcn.h>
#include <ft2build.h>

#include <string>

#include "util/exception.h"
#include FT_FREETYPE_H

namespace tessaro {
namespace {

void* FreeTypeLibrary() {
  static void* handle = [] {
    if (void* h = dlopen("libfreetype.so.6", RTLD_NOW | RTLD_LOCAL)) return h;
    const char* why = dlerror();
    throw Exception(std::string("Cannot load libfreetype: ") + (why ? why : "libfreetype.so.6"));
  }();
  return handle;
}

template <class Function>
Function Resolve(const char* name) {
  void* symbol = dlsym(FreeTypeLibrary(), name);
  if (!symbol) throw Exception(std::string("libfreetype has no function ") + name);
  return reinterpret_cast<Function>(symbol);
}

}  // namespace
}  // namespace tessaro

// Each function: resolve once, then forward.
#define TESSARO_FREETYPE_FORWARD(result, name, params, args)                \
  extern "C" result name params {                                           \
    static const auto function = tessaro::Resolve<result(*) params>(#name); \
    return function args;                                                   \
  }

TESSARO_FREETYPE_FORWARD(FT_Error, FT_Init_FreeType, (FT_Library * library), (library))
TESSARO_FREETYPE_FORWARD(FT_Error, FT_Done_FreeType, (FT_Library library), (library))
TESSARO_FREETYPE_FORWARD(FT_Error, FT_New_Face, (FT_Library library, const char* path, FT_Long index, FT_Face* face),
                         (library, path, index, face))
TESSARO_FREETYPE_FORWARD(FT_Error, FT_Done_Face, (FT_Face face), (face))
TESSARO_FREETYPE_FORWARD(FT_Error, FT_Request_Size, (FT_Face face, FT_Size_Request request), (face, request))
TESSARO_FREETYPE_FORWARD(void, FT_Set_Transform, (FT_Face face, FT_Matrix* matrix, FT_Vector* delta),
                         (face, matrix, delta))
TESSARO_FREETYPE_FORWARD(FT_Error, FT_Load_Char, (FT_Face face, FT_ULong char_code, FT_Int32 flags),
                         (face, char_code, flags))
