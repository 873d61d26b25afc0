// Windows bitmaps, read by a small decoder of our own: every size and offset
// the file declares is checked against its length before it is used.
#pragma once

#include <optional>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

// The picture of a bitmap file ("BM" header): 1, 4 and 8 bits per pixel
// with a palette, 16, 24 and 32 bits (plain or with bit-field masks), 4- and
// 8-bit run-length compression; rows bottom-up or top-down. Nothing for
// other kinds, for damaged files and for pictures over `max_pixels`.
std::optional<TRgbImage> DecodeBmp(std::string_view bytes, int64_t max_pixels = kMaxDecodedPixels);

// The picture of a device-independent bitmap as icons hold it: `dib` starts
// with the info header; its height counts the colour rows and the
// transparency mask rows that follow them. Transparent pixels become white.
std::optional<TRgbImage> DecodeIconDib(std::string_view dib, int64_t max_pixels = kMaxDecodedPixels);

}  // namespace tessaro
