// An icon file is a 6-byte header (0, type 1, count) and a directory of
// 16-byte entries, each giving the size, colour depth and place of one
// picture; the pictures are bitmaps without their file header (see
// DecodeIconDib) or PNG files.
#include "context/ico_decoder.h"

#include <cstdint>

#include "context/bmp_decoder.h"

namespace tessaro {
namespace {

uint32_t Byte(std::string_view b, size_t at) { return at < b.size() ? static_cast<uint8_t>(b[at]) : 0; }
uint32_t U16(std::string_view b, size_t at) { return Byte(b, at) | Byte(b, at + 1) << 8; }
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

}  // namespace

std::optional<TRgbImage> DecodeIcon(std::string_view bytes, int64_t max_pixels) {
  constexpr size_t kHeader = 6, kEntry = 16;
  if (bytes.size() < kHeader || U16(bytes, 0) != 0 || U16(bytes, 2) != 1) return std::nullopt;
  const size_t count = U16(bytes, 4);
  if (count == 0 || bytes.size() < kHeader + count * kEntry) return std::nullopt;
  size_t best = count;
  uint32_t best_pixels = 0, best_bits = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kHeader + i * kEntry;
    const uint32_t width = Byte(bytes, entry) == 0 ? 256 : Byte(bytes, entry);
    const uint32_t height = Byte(bytes, entry + 1) == 0 ? 256 : Byte(bytes, entry + 1);
    const uint32_t bits = U16(bytes, entry + 6);
    if (width * height > best_pixels || (width * height == best_pixels && bits > best_bits)) {
      best = i;
      best_pixels = width * height;
      best_bits = bits;
    }
  }
  const size_t entry = kHeader + best * kEntry;
  const size_t size = U32(bytes, entry + 8);
  const size_t offset = U32(bytes, entry + 12);
  if (offset >= bytes.size() || size > bytes.size() - offset) return std::nullopt;
  const std::string_view picture = bytes.substr(offset, size);
  if (picture.substr(0, 4) == "\x89PNG") return std::nullopt;
  return DecodeIconDib(picture, max_pixels);
}

}  // namespace tessaro
