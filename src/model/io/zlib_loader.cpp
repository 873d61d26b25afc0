// zlib, loaded on first use.
//
// Only requests that find a compressed definition or user file need zlib,
// and linking it costs every request of the CGI program about 0.1 ms of
// loading. So the program is not linked with it: this file defines the few
// zlib functions the file reader and writer call, each forwarding to the
// function of the same name in libz.so.1, opened with dlopen the first time
// one of them is called. When zlib cannot be loaded the call raises
// Exception naming the library and the loader's reason.
#include <dlfcn.h>
#include <zlib.h>

#include <string>

#include "util/exception.h"

namespace tessaro {
namespace {

void* ZlibLibrary() {
  static void* handle = [] {
    if (void* h = dlopen("libz.so.1", RTLD_NOW | RTLD_LOCAL)) return h;
    const char* why = dlerror();
    throw Exception(std::string("Cannot load zlib: ") + (why ? why : "libz.so.1"));
  }();
  return handle;
}

template <class Function>
Function Resolve(const char* name) {
  void* symbol = dlsym(ZlibLibrary(), name);
  if (!symbol) throw Exception(std::string("zlib has no function ") + name);
  return reinterpret_cast<Function>(symbol);
}

}  // namespace
}  // namespace tessaro

// Each function: resolve once, then forward.
#define TESSARO_ZLIB_FORWARD(result, name, params, args)                    \
  extern "C" result ZEXPORT name params {                                   \
    static const auto function = tessaro::Resolve<result(*) params>(#name); \
    return function args;                                                   \
  }

TESSARO_ZLIB_FORWARD(int, inflateInit_, (z_streamp stream, const char* version, int stream_size),
                     (stream, version, stream_size))
TESSARO_ZLIB_FORWARD(int, inflate, (z_streamp stream, int flush), (stream, flush))
TESSARO_ZLIB_FORWARD(int, inflateEnd, (z_streamp stream), (stream))
TESSARO_ZLIB_FORWARD(int, compress2,
                     (Bytef * dest, uLongf* dest_length, const Bytef* source, uLong source_length, int level),
                     (dest, dest_length, source, source_length, level))
TESSARO_ZLIB_FORWARD(uLong, compressBound, (uLong source_length), (source_length))
TESSARO_ZLIB_FORWARD(int, compress, (Bytef * dest, uLongf* dest_length, const Bytef* source, uLong source_length),
                     (dest, dest_length, source, source_length))
