// Bitmap decoding. A bitmap is an info header (of one of several lengths),
// an optional palette or set of colour masks, and rows of pixels, each row
// padded to four bytes, the bottom row first unless the height is negative.
// All reading goes through Bytes(), which answers zero past the end, and
// every array is sized from checked declarations before anything is
// allocated, so a hostile file can neither read past its buffer nor make the
// process allocate more than a picture of the pixel limit.
#include "context/bmp_decoder.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tessaro {
namespace {

enum : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

uint32_t U16(std::string_view b, size_t at) {
  if (at > b.size() || b.size() - at < 2) return 0;
  return static_cast<uint8_t>(b[at]) | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8;
}
uint32_t U32(std::string_view b, size_t at) {
  if (at > b.size() || b.size() - at < 4) return 0;
  return U16(b, at) | U16(b, at + 2) << 16;
}

struct TDibInfo {
  int64_t width = 0;
  int64_t height = 0;  // of the colour rows
  bool top_down = false;
  uint32_t bits = 0;
  uint32_t compression = kRgb;
  std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
  size_t header_size = 0;
  size_t palette_offset = 0;  // from the start of the info header
  size_t palette_entry_size = 4;
  uint32_t palette_count = 0;
  size_t data_offset = 0;  // end of header, masks and palette
};

// Reads and checks the info header at the start of `dib`; `icon` halves the
// height (the mask rows are counted in it).
bool ReadDibInfo(std::string_view dib, bool icon, int64_t max_pixels, TDibInfo& info) {
  info.header_size = U32(dib, 0);
  if (info.header_size == 12) {
    info.width = U16(dib, 4);
    info.height = static_cast<int16_t>(U16(dib, 6));
    info.bits = U16(dib, 10);
    info.palette_entry_size = 3;
  } else if (info.header_size >= 40 && info.header_size <= 256) {
    info.width = static_cast<int32_t>(U32(dib, 4));
    info.height = static_cast<int32_t>(U32(dib, 8));
    info.bits = U16(dib, 14);
    info.compression = U32(dib, 16);
    info.palette_count = U32(dib, 32);
  } else {
    return false;
  }
  if (dib.size() < info.header_size) return false;
  if (info.height < 0) {
    info.top_down = true;
    info.height = -info.height;
  }
  if (icon) info.height /= 2;
  if (info.width <= 0 || info.height <= 0 || info.width * info.height > max_pixels) return false;
  size_t after_header = info.header_size;
  switch (info.compression) {
    case kRgb:
      if (info.bits != 1 && info.bits != 4 && info.bits != 8 && info.bits != 16 && info.bits != 24 && info.bits != 32)
        return false;
      if (info.bits == 16) info.masks = {0x7C00, 0x03E0, 0x001F, 0};
      if (info.bits == 32) info.masks = {0xFF0000, 0xFF00, 0xFF, icon ? 0xFF000000u : 0u};
      break;
    case kRle8:
    case kRle4:
      if (info.bits != (info.compression == kRle8 ? 8u : 4u) || info.top_down) return false;
      break;
    case kBitFields:
    case kAlphaBitFields: {
      if (info.bits != 16 && info.bits != 32) return false;
      const size_t count = info.compression == kAlphaBitFields ? 4 : 3;
      // A plain 40-byte header is followed by the masks; longer ones hold them.
      if (info.header_size == 40) after_header += 4 * count;
      for (size_t i = 0; i < count; ++i) info.masks[i] = U32(dib, 40 + 4 * i);
      break;
    }
    default:
      return false;
  }
  if (info.bits <= 8) {
    const uint32_t full = 1u << info.bits;
    if (info.palette_count == 0 || info.palette_count > full) info.palette_count = full;
  } else {
    info.palette_count = 0;
  }
  info.palette_offset = after_header;
  info.data_offset = after_header + info.palette_count * info.palette_entry_size;
  return true;
}

// One channel of a masked pixel value scaled to 0..255.
struct TChannel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  explicit TChannel(uint32_t m) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    max = mask >> shift;
  }
  uint8_t Of(uint32_t value) const {
    if (max == 0) return 0;
    return static_cast<uint8_t>((static_cast<uint64_t>((value & mask) >> shift) * 255 + max / 2) / max);
  }
};

// Palette indices of a run-length compressed bitmap (bottom-up rows); pixels
// the data never reaches stay index 0.
std::vector<uint8_t> DecodeRle(std::string_view data, const TDibInfo& info) {
  const size_t width = static_cast<size_t>(info.width);
  const size_t height = static_cast<size_t>(info.height);
  std::vector<uint8_t> indices(width * height, 0);
  const bool four = info.compression == kRle4;
  size_t x = 0, y = 0, at = 0;
  auto put = [&](uint8_t index) {
    if (x < width && y < height) indices[y * width + x] = index;
    ++x;
  };
  auto byte = [&](size_t i) { return i < data.size() ? static_cast<uint8_t>(data[i]) : uint8_t{0}; };
  while (at + 1 < data.size() && y < height) {
    const uint8_t count = byte(at), value = byte(at + 1);
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count && x < width; ++i) put(four ? ((i % 2 == 0) ? value >> 4 : value & 15) : value);
      continue;
    }
    if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      x += byte(at);
      y += byte(at + 1);
      at += 2;
    } else {
      const size_t length = four ? (value + 1u) / 2 : value;
      for (int i = 0; i < value; ++i) {
        const uint8_t b = byte(at + (four ? i / 2 : i));
        put(four ? ((i % 2 == 0) ? b >> 4 : b & 15) : b);
      }
      at += length + (length % 2);
    }
  }
  return indices;
}

// The picture of the DIB whose info header is at the start of `dib` and
// whose pixel rows start at `pixels`; `mask` (may be empty) holds an icon's
// transparency rows.
std::optional<TRgbImage> DecodeDib(std::string_view dib, const TDibInfo& info, std::string_view pixels, bool icon) {
  std::array<std::array<uint8_t, 3>, 256> palette{};
  for (uint32_t i = 0; i < info.palette_count; ++i) {
    const size_t at = info.palette_offset + i * info.palette_entry_size;
    if (at + 3 > dib.size()) return std::nullopt;
    palette[i] = {static_cast<uint8_t>(dib[at + 2]), static_cast<uint8_t>(dib[at + 1]), static_cast<uint8_t>(dib[at])};
  }
  const size_t width = static_cast<size_t>(info.width);
  const size_t height = static_cast<size_t>(info.height);
  const uint64_t stride = (static_cast<uint64_t>(width) * info.bits + 31) / 32 * 4;
  std::vector<uint8_t> rle;
  if (info.compression == kRle8 || info.compression == kRle4) {
    rle = DecodeRle(pixels, info);
  } else if (pixels.size() < stride * height) {
    return std::nullopt;
  }
  const TChannel red(info.masks[0]), green(info.masks[1]), blue(info.masks[2]), alpha(info.masks[3]);
  TRgbImage image;
  image.Width = static_cast<int>(width);
  image.Height = static_cast<int>(height);
  image.Pixels.resize(width * height * 3);
  bool any_alpha = false;
  std::vector<uint8_t> alphas(info.bits == 32 && icon ? width * height : 0);
  for (size_t row = 0; row < height; ++row) {
    const size_t y = info.top_down ? row : height - 1 - row;  // the picture row this stored row is
    uint8_t* out = &image.Pixels[y * width * 3];
    const auto* in = reinterpret_cast<const uint8_t*>(pixels.data()) + (rle.empty() ? row * stride : 0);
    for (size_t x = 0; x < width; ++x, out += 3) {
      if (!rle.empty()) {
        const auto& c = palette[rle[row * width + x]];
        out[0] = c[0], out[1] = c[1], out[2] = c[2];
        continue;
      }
      switch (info.bits) {
        case 1:
        case 4:
        case 8: {
          const size_t bit = x * info.bits;
          const uint8_t index = (in[bit / 8] >> (8 - info.bits - bit % 8)) & ((1u << info.bits) - 1);
          const auto& c = palette[index < info.palette_count ? index : 0];
          out[0] = c[0], out[1] = c[1], out[2] = c[2];
          break;
        }
        case 24:
          out[0] = in[x * 3 + 2], out[1] = in[x * 3 + 1], out[2] = in[x * 3];
          break;
        default: {
          const uint32_t value = info.bits == 16 ? in[x * 2] | in[x * 2 + 1] << 8
                                                 : in[x * 4] | in[x * 4 + 1] << 8 | in[x * 4 + 2] << 16 |
                                                       static_cast<uint32_t>(in[x * 4 + 3]) << 24;
          out[0] = red.Of(value), out[1] = green.Of(value), out[2] = blue.Of(value);
          if (!alphas.empty()) {
            alphas[y * width + x] = alpha.Of(value);
            any_alpha |= alphas[y * width + x] != 0;
          }
        }
      }
    }
  }
  if (!icon) return image;
  // Icons: pixels are laid onto white by their alpha (32-bit icons that use
  // it) and by the transparency mask that follows the colour rows.
  if (any_alpha) {
    for (size_t i = 0; i < width * height; ++i)
      for (int c = 0; c < 3; ++c) {
        uint8_t& v = image.Pixels[i * 3 + c];
        v = static_cast<uint8_t>((v * alphas[i] + 255 * (255 - alphas[i]) + 127) / 255);
      }
  }
  const uint64_t mask_stride = (static_cast<uint64_t>(width) + 31) / 32 * 4;
  const uint64_t colour_bytes = stride * height;
  if (rle.empty() && pixels.size() - colour_bytes >= mask_stride * height) {
    const auto* mask = reinterpret_cast<const uint8_t*>(pixels.data()) + colour_bytes;
    for (size_t row = 0; row < height; ++row) {
      const size_t y = info.top_down ? row : height - 1 - row;
      for (size_t x = 0; x < width; ++x)
        if ((mask[row * mask_stride + x / 8] >> (7 - x % 8)) & 1)
          for (int c = 0; c < 3; ++c) image.Pixels[(y * width + x) * 3 + c] = 255;
    }
  }
  return image;
}

}  // namespace

std::optional<TRgbImage> DecodeBmp(std::string_view bytes, int64_t max_pixels) {
  constexpr size_t kFileHeader = 14;
  if (bytes.size() < kFileHeader || bytes.substr(0, 2) != "BM") return std::nullopt;
  const std::string_view dib = bytes.substr(kFileHeader);
  TDibInfo info;
  if (!ReadDibInfo(dib, false, max_pixels, info)) return std::nullopt;
  // The file header says where the rows start; when it points into the
  // headers, they follow the palette.
  size_t offset = U32(bytes, 10);
  if (offset < kFileHeader + info.data_offset || offset > bytes.size()) offset = kFileHeader + info.data_offset;
  if (offset > bytes.size()) return std::nullopt;
  return DecodeDib(dib, info, bytes.substr(offset), false);
}

std::optional<TRgbImage> DecodeIconDib(std::string_view dib, int64_t max_pixels) {
  TDibInfo info;
  if (!ReadDibInfo(dib, true, max_pixels, info) || info.data_offset > dib.size()) return std::nullopt;
  return DecodeDib(dib, info, dib.substr(info.data_offset), true);
}

}  // namespace tessaro
