// JPEG through libjpeg. libjpeg reports a fatal error by calling the error
// manager's error_exit, which must not return; ours jumps back (longjmp) to
// the function that started the work, which then cleans up and reports the
// failure in its own way. Every object with a destructor in those functions
// is created before the jump target is set, so the jump skips none.
// Warnings (a truncated file, for instance) are not printed: the server's
// error log is no place for them, and the picture is still shown.
#include "context/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "util/exception.h"

extern "C" {
#include <jpeglib.h>
}

namespace tessaro {

namespace {

struct TJpegError {
  jpeg_error_mgr manager;  // first, so that libjpeg's pointer to it is one to this
  std::jmp_buf escape;     // where error_exit jumps to
  char message[JMSG_LENGTH_MAX] = "";
};

void JumpOnError(j_common_ptr cinfo) {
  auto* error = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, error->message);
  std::longjmp(error->escape, 1);
}

void IgnoreMessage(j_common_ptr) {}

void InstallErrorManager(TJpegError& error) {
  jpeg_std_error(&error.manager);
  error.manager.error_exit = JumpOnError;
  error.manager.output_message = IgnoreMessage;
}

// The output buffer that jpeg_mem_dest allocates with malloc.
struct TMemoryDestination {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  ~TMemoryDestination() { std::free(buffer); }
};

// The largest divisor (8, 4 or 2) by which libjpeg may shrink a `width` x
// `height` picture while decoding and still give at least `wanted`; 1 when
// none does. libjpeg rounds a scaled size up.
unsigned ScaleDenominator(int64_t width, int64_t height, TImageSize wanted) {
  for (unsigned denominator : {8u, 4u, 2u})
    if ((width + denominator - 1) / denominator >= wanted.Width &&
        (height + denominator - 1) / denominator >= wanted.Height)
      return denominator;
  return 1;
}

// Decodes `bytes`; with a box (`fit`), at the scale the box allows, and
// fitted into it.
std::optional<TRgbImage> Decode(std::string_view bytes, bool fit, int box_width, int box_height, int64_t max_pixels) {
  if (bytes.empty()) return std::nullopt;
  TRgbImage image;
  TJpegError error;
  jpeg_decompress_struct cinfo;
  InstallErrorManager(error);
  cinfo.err = &error.manager;
  volatile bool created = false;
  if (setjmp(error.escape)) {
    if (created) jpeg_destroy_decompress(&cinfo);
    return std::nullopt;
  }
  jpeg_create_decompress(&cinfo);
  created = true;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  const bool readable = jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK &&
                        static_cast<int64_t>(cinfo.image_width) * cinfo.image_height <= max_pixels;
  if (!readable) {
    jpeg_destroy_decompress(&cinfo);
    return std::nullopt;
  }
  cinfo.out_color_space = JCS_RGB;
  // The fitted size, from the picture's own size.
  const TImageSize fitted =
      FitIntoBox(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height), box_width, box_height);
  if (fit) {
    cinfo.scale_num = 1;
    cinfo.scale_denom = ScaleDenominator(cinfo.image_width, cinfo.image_height, fitted);
  }
  jpeg_start_decompress(&cinfo);
  image.Width = static_cast<int>(cinfo.output_width);
  image.Height = static_cast<int>(cinfo.output_height);
  const size_t stride = static_cast<size_t>(image.Width) * 3;
  image.Pixels.resize(stride * image.Height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = &image.Pixels[cinfo.output_scanline * stride];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  if (fit && (image.Width != fitted.Width || image.Height != fitted.Height))
    image = ResizeImage(image, fitted.Width, fitted.Height);
  return image;
}

}  // namespace

std::optional<TRgbImage> DecodeJpeg(std::string_view bytes, int64_t max_pixels) {
  return Decode(bytes, false, 0, 0, max_pixels);
}

std::optional<TRgbImage> DecodeJpegIntoBox(std::string_view bytes, int box_width, int box_height, int64_t max_pixels) {
  return Decode(bytes, true, box_width, box_height, max_pixels);
}

std::string EncodeJpeg(const TRgbImage& image) {
  TMemoryDestination destination;
  TJpegError error;
  jpeg_compress_struct cinfo;
  InstallErrorManager(error);
  cinfo.err = &error.manager;
  volatile bool created = false;
  if (setjmp(error.escape)) {
    if (created) jpeg_destroy_compress(&cinfo);
    throw Exception(std::string("JPEG encoding failed: ") + error.message);
  }
  jpeg_create_compress(&cinfo);
  created = true;
  jpeg_mem_dest(&cinfo, &destination.buffer, &destination.size);
  cinfo.image_width = static_cast<JDIMENSION>(image.Width);
  cinfo.image_height = static_cast<JDIMENSION>(image.Height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const size_t stride = static_cast<size_t>(image.Width) * 3;
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg reads the rows only; its interface has no const.
    JSAMPROW row = const_cast<JSAMPLE*>(&image.Pixels[cinfo.next_scanline * stride]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::string(reinterpret_cast<const char*>(destination.buffer), destination.size);
}

}  // namespace tessaro
