// JPEG reading and writing of RGB pictures, over libjpeg (loaded on first
// use, see jpeg_loader.cpp).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

// The picture in `bytes`; nothing when they are not a JPEG libjpeg can read
// into RGB, or the picture is larger than `max_pixels`. Throws
// Exception only when libjpeg cannot be loaded.
std::optional<TRgbImage> DecodeJpeg(std::string_view bytes, int64_t max_pixels = kMaxDecodedPixels);

// The picture in `bytes` fitted into (box_width, box_height) as
// ScaleIntoBox fits it, with the size worked out from the picture's own
// size. A picture much larger than the box is decoded at 1/2, 1/4 or 1/8 of
// its size (libjpeg's scaled decoding, far cheaper than decoding it whole),
// as long as that is still at least the fitted size; the rest of the way it
// is resampled. Otherwise as DecodeJpeg.
std::optional<TRgbImage> DecodeJpegIntoBox(std::string_view bytes, int box_width, int box_height,
                                           int64_t max_pixels = kMaxDecodedPixels);

// `image` as a JPEG file at the encoder's default quality. REQUIRES:
// !image.Empty(). Throws Exception when libjpeg cannot be loaded or fails.
std::string EncodeJpeg(const TRgbImage& image);

}  // namespace tessaro
