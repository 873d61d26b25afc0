// GIF reading over giflib (loaded on first use, see gif_loader.cpp).
#pragma once

#include <optional>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

// The first frame of the GIF in `bytes`, placed on its logical screen, with
// the screen outside the frame and the frame's transparent pixels white.
// Nothing when giflib cannot read the bytes, there is no frame, or the screen
// or the frame is larger than `max_pixels`. Throws Exception only when
// giflib cannot be loaded.
std::optional<TRgbImage> DecodeGif(std::string_view bytes, int64_t max_pixels = kMaxDecodedPixels);

}  // namespace tessaro
