// TRgbImage: a picture as 8-bit RGB pixels, the form in which stored
// pictures are scaled before they are sent as JPEG; and the rule that fits a
// picture into a box of the page.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaro {

// The largest picture decoded, in pixels; larger ones count as no picture,
// so that a stored or uploaded file cannot make the process take gigabytes.
// Decoders check the size a file declares before they allocate; they take
// the limit as an argument (this by default), so that a fuzzing run can use
// a smaller one and stay fast.
inline constexpr int64_t kMaxDecodedPixels = 40'000'000;

struct TRgbImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;  // Width * Height * 3 bytes: R, G, B, rows from the top

  bool Empty() const { return Width <= 0 || Height <= 0; }
};

struct TImageSize {
  int Width;
  int Height;
  bool operator==(const TImageSize&) const = default;
};

// The size of a `width` x `height` picture fitted into the box (box_width,
// box_height): first narrowed to the box's width, then lowered to its height,
// keeping the proportions (rounded to the nearest pixel, ties to even, never
// below one pixel). Pictures are never enlarged; a box side of 0 or less does
// not limit.
TImageSize FitIntoBox(int width, int height, int box_width, int box_height);

// `image` resampled to width x height (both at least 1): each new pixel the
// average of the area of the old picture it covers when shrinking, linear
// interpolation between neighbours when enlarging.
TRgbImage ResizeImage(const TRgbImage& image, int width, int height);

// `image` fitted into the box by FitIntoBox; a copy when the size stays.
TRgbImage ScaleIntoBox(const TRgbImage& image, int box_width, int box_height);

}  // namespace tessaro
