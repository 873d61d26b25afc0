// Stored pictures from arbitrary bytes: recognition, then the decoder of the
// recognised format (JPEG, GIF, bitmap, icon), then scaling into a small box
// and JPEG encoding of the result, as the picture page does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "context/jpeg_codec.h"
#include "context/picture_formats.h"
#include "context/rgb_image.h"

using namespace tessaro;

namespace {
constexpr int64_t kFuzzMaxPixels = 1 << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RecognisePicture(bytes);
  // A smaller pixel limit than the portal's keeps each run fast; the checks
  // before allocating are the same.
  std::optional<TRgbImage> image = DecodePicture(bytes, kFuzzMaxPixels);
  if (!image) return 0;
  // A decoded picture is whole and within the limit.
  if (image->Empty() || static_cast<int64_t>(image->Width) * image->Height > kFuzzMaxPixels ||
      image->Pixels.size() != static_cast<size_t>(image->Width) * image->Height * 3)
    std::abort();
  const int box = size > 0 ? data[size - 1] % 48 + 1 : 16;
  const TRgbImage scaled = ScaleIntoBox(*image, box, box);
  if (scaled.Width > box || scaled.Height > box) std::abort();
  EncodeJpeg(scaled);
  // Decoding straight into the box gives the size the box rule gives.
  std::optional<TRgbImage> fitted = DecodePictureIntoBox(bytes, box, box, kFuzzMaxPixels);
  if (!fitted || fitted->Width != scaled.Width || fitted->Height != scaled.Height) std::abort();
  return 0;
}
