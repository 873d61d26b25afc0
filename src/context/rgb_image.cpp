// Scaling of pictures. Resampling is separable: rows are resampled to the
// new width first, then columns to the new height. For each new pixel along
// an axis a short list of (old pixel, weight) taps is worked out once:
//
//   shrinking: the new pixel covers old pixels [i*n/m, (i+1)*n/m); each old
//              pixel weighs the part of it that is covered (area average);
//   enlarging: the new pixel's centre falls between two old pixels, which
//              weigh by closeness (linear interpolation).
//
// The weights of a new pixel sum to 1, so flat areas keep their colour.
#include "context/rgb_image.h"

#include <algorithm>
#include <cstddef>

namespace tessaro {

namespace {

// a * b / c rounded to the nearest integer, ties to even. REQUIRES: c > 0, a, b >= 0.
int64_t MulDivRoundEven(int64_t a, int64_t b, int64_t c) {
  const int64_t product = a * b;
  int64_t quotient = product / c;
  const int64_t twice_rest = 2 * (product % c);
  if (twice_rest > c || (twice_rest == c && quotient % 2 != 0)) ++quotient;
  return quotient;
}

struct TTap {
  int source;    // index of the old pixel
  float weight;  // its share of the new pixel
};

// The taps of every new pixel along one axis; new pixel i uses
// taps[offsets[i] .. offsets[i + 1]).
struct TAxisTaps {
  std::vector<TTap> taps;
  std::vector<size_t> offsets;
};

TAxisTaps AxisTaps(int old_size, int new_size) {
  TAxisTaps axis;
  axis.offsets.reserve(static_cast<size_t>(new_size) + 1);
  const double scale = static_cast<double>(old_size) / new_size;
  for (int i = 0; i < new_size; ++i) {
    axis.offsets.push_back(axis.taps.size());
    if (new_size < old_size) {
      const double start = i * scale;
      const double end = (i + 1) * scale;
      // The last old pixel the span reaches into (not one it merely touches).
      int last = static_cast<int>(end);
      if (last == end) --last;
      last = std::min(last, old_size - 1);
      for (int j = static_cast<int>(start); j <= last; ++j) {
        const double covered = std::min(end, j + 1.0) - std::max(start, static_cast<double>(j));
        if (covered > 0) axis.taps.push_back({j, static_cast<float>(covered / scale)});
      }
    } else {
      const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(old_size - 1));
      const int left = static_cast<int>(centre);
      const double right_share = centre - left;
      axis.taps.push_back({left, static_cast<float>(1.0 - right_share)});
      if (right_share > 0 && left + 1 < old_size) axis.taps.push_back({left + 1, static_cast<float>(right_share)});
    }
  }
  axis.offsets.push_back(axis.taps.size());
  return axis;
}

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)); }

}  // namespace

TImageSize FitIntoBox(int width, int height, int box_width, int box_height) {
  int64_t w = width;
  int64_t h = height;
  if (box_width > 0 && w > box_width && w > 0) {
    h = std::max<int64_t>(MulDivRoundEven(h, box_width, w), 1);
    w = box_width;
  }
  if (box_height > 0 && h > box_height && h > 0) {
    w = std::max<int64_t>(MulDivRoundEven(w, box_height, h), 1);
    h = box_height;
  }
  return {static_cast<int>(w), static_cast<int>(h)};
}

TRgbImage ResizeImage(const TRgbImage& image, int width, int height) {
  const TAxisTaps across = AxisTaps(image.Width, width);
  const TAxisTaps down = AxisTaps(image.Height, height);
  // Rows to the new width, kept as floats so that the second pass does not
  // round twice.
  std::vector<float> wide(static_cast<size_t>(width) * image.Height * 3);
  for (int y = 0; y < image.Height; ++y) {
    const uint8_t* row = &image.Pixels[static_cast<size_t>(y) * image.Width * 3];
    float* out = &wide[static_cast<size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x) {
      float r = 0, g = 0, b = 0;
      for (size_t t = across.offsets[x]; t < across.offsets[x + 1]; ++t) {
        const uint8_t* p = row + static_cast<size_t>(across.taps[t].source) * 3;
        r += p[0] * across.taps[t].weight;
        g += p[1] * across.taps[t].weight;
        b += p[2] * across.taps[t].weight;
      }
      out[x * 3] = r;
      out[x * 3 + 1] = g;
      out[x * 3 + 2] = b;
    }
  }
  TRgbImage result;
  result.Width = width;
  result.Height = height;
  result.Pixels.resize(static_cast<size_t>(width) * height * 3);
  const size_t stride = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    uint8_t* out = &result.Pixels[static_cast<size_t>(y) * stride];
    for (size_t c = 0; c < stride; ++c) {
      float sum = 0;
      for (size_t t = down.offsets[y]; t < down.offsets[y + 1]; ++t)
        sum += wide[static_cast<size_t>(down.taps[t].source) * stride + c] * down.taps[t].weight;
      out[c] = ToByte(sum);
    }
  }
  return result;
}

TRgbImage ScaleIntoBox(const TRgbImage& image, int box_width, int box_height) {
  if (image.Empty()) return image;
  const TImageSize size = FitIntoBox(image.Width, image.Height, box_width, box_height);
  if (size.Width == image.Width && size.Height == image.Height) return image;
  return ResizeImage(image, size.Width, size.Height);
}

}  // namespace tessaro
