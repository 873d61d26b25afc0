// libjpeg (libjpeg62-turbo), loaded on first use.
//
// Only the picture pages need JPEG, so the CGI program is not linked with
// the library: this file defines the libjpeg functions the codec calls, each
// forwarding to the function of the same name in libjpeg.so.62, opened with
// dlopen the first time one of them is called. When the library cannot be
// loaded the call raises Exception naming it and the loader's reason; the
// codec calls each function first from its own code, never from inside
// libjpeg, so the exception never crosses the library's frames.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "util/exception.h"

extern "C" {
#include <jpeglib.h>
}

namespace tessaro {
namespace {

void* JpegLibrary() {
  static void* handle = [] {
    if (void* h = dlopen("libjpeg.so.62", RTLD_NOW | RTLD_LOCAL)) return h;
    const char* why = dlerror();
    throw Exception(std::string("Cannot load libjpeg: ") + (why ? why : "libjpeg.so.62"));
  }();
  return handle;
}

template <class Function>
Function Resolve(const char* name) {
  void* symbol = dlsym(JpegLibrary(), name);
  if (!symbol) throw Exception(std::string("libjpeg has no function ") + name);
  return reinterpret_cast<Function>(symbol);
}

}  // namespace
}  // namespace tessaro

// Each function: resolve once, then forward.
#define TESSARO_JPEG_FORWARD(result, name, params, args)                    \
  extern "C" result name params {                                           \
    static const auto function = tessaro::Resolve<result(*) params>(#name); \
    return function args;                                                   \
  }

TESSARO_JPEG_FORWARD(struct jpeg_error_mgr*, jpeg_std_error, (struct jpeg_error_mgr * err), (err))
TESSARO_JPEG_FORWARD(void, jpeg_CreateDecompress, (j_decompress_ptr cinfo, int version, size_t structsize),
                     (cinfo, version, structsize))
TESSARO_JPEG_FORWARD(void, jpeg_mem_src, (j_decompress_ptr cinfo, const unsigned char* buffer, unsigned long size),
                     (cinfo, buffer, size))
TESSARO_JPEG_FORWARD(int, jpeg_read_header, (j_decompress_ptr cinfo, boolean require_image),
                     (cinfo, require_image))
TESSARO_JPEG_FORWARD(boolean, jpeg_start_decompress, (j_decompress_ptr cinfo), (cinfo))
TESSARO_JPEG_FORWARD(JDIMENSION, jpeg_read_scanlines, (j_decompress_ptr cinfo, JSAMPARRAY lines, JDIMENSION count),
                     (cinfo, lines, count))
TESSARO_JPEG_FORWARD(boolean, jpeg_finish_decompress, (j_decompress_ptr cinfo), (cinfo))
TESSARO_JPEG_FORWARD(void, jpeg_destroy_decompress, (j_decompress_ptr cinfo), (cinfo))
TESSARO_JPEG_FORWARD(void, jpeg_CreateCompress, (j_compress_ptr cinfo, int version, size_t structsize),
                     (cinfo, version, structsize))
TESSARO_JPEG_FORWARD(void, jpeg_mem_dest, (j_compress_ptr cinfo, unsigned char** buffer, unsigned long* size),
                     (cinfo, buffer, size))
TESSARO_JPEG_FORWARD(void, jpeg_set_defaults, (j_compress_ptr cinfo), (cinfo))
TESSARO_JPEG_FORWARD(void, jpeg_start_compress, (j_compress_ptr cinfo, boolean write_all_tables),
                     (cinfo, write_all_tables))
TESSARO_JPEG_FORWARD(JDIMENSION, jpeg_write_scanlines, (j_compress_ptr cinfo, JSAMPARRAY lines, JDIMENSION count),
                     (cinfo, lines, count))
TESSARO_JPEG_FORWARD(void, jpeg_finish_compress, (j_compress_ptr cinfo), (cinfo))
TESSARO_JPEG_FORWARD(void, jpeg_destroy_compress, (j_compress_ptr cinfo), (cinfo))
