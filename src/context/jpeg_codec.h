// JPEG reading and writing of RGB pictures, over libjpeg (loaded on first
// use, see jpeg_loader.cpp).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

// The picture in `bytes`; nothing when they are not a JPEG libjpeg can read
// into RGB, or the picture is larger than kMaxDecodedPixels. Throws
// Exception only when libjpeg cannot be loaded.
std::optional<TRgbImage> DecodeJpeg(std::string_view bytes);

// `image` as a JPEG file at the encoder's default quality. REQUIRES:
// !image.Empty(). Throws Exception when libjpeg cannot be loaded or fails.
std::string EncodeJpeg(const TRgbImage& image);

}  // namespace tessaro
