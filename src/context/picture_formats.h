// Stored pictures: which format a field's bytes are in, judged by their
// first bytes, and the picture they hold when the format is one the portal
// shows.
#pragma once

#include <optional>
#include <string_view>

#include "context/rgb_image.h"

namespace tessaro {

enum class TPictureFormat { None, Bitmap, Tiff, Jpeg, Png, Other, Metafile, Gif, Icon };

// The format of `bytes` by their signature at the start (the JPEG one at
// offset 6). The signatures are tried in a fixed order and the first that
// matches decides, so that, say, bytes starting "BM" are a bitmap whatever
// follows. None when no signature matches.
TPictureFormat RecognisePicture(std::string_view bytes);

// The picture in `bytes`: decoded when their format is a bitmap, JPEG, GIF
// (its first frame) or icon and the bytes are readable in it; nothing for any
// other format (metafiles included: no library renders them well enough), for
// damaged bytes and for pictures over `max_pixels`. Throws Exception only
// when a decoding library cannot be loaded.
std::optional<TRgbImage> DecodePicture(std::string_view bytes, int64_t max_pixels = kMaxDecodedPixels);

// As DecodePicture, with the picture fitted into (box_width, box_height) by
// ScaleIntoBox's rule; JPEG pictures are decoded at a reduced scale when the
// box allows it (DecodeJpegIntoBox).
std::optional<TRgbImage> DecodePictureIntoBox(std::string_view bytes, int box_width, int box_height,
                                              int64_t max_pixels = kMaxDecodedPixels);

}  // namespace tessaro
