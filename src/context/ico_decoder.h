// Icon files, read by a small decoder of our own.
#pragma once

#include <optional>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

// The largest picture of an icon file (most pixels, then most colour bits),
// laid onto white where it is transparent. Nothing when that picture is
// stored as PNG (a format the portal does not show), when the file is
// damaged, or the picture is over `max_pixels`.
std::optional<TRgbImage> DecodeIcon(std::string_view bytes, int64_t max_pixels = kMaxDecodedPixels);

}  // namespace tessaro
