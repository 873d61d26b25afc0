// GIF decoding. giflib reads the file record by record from memory through
// a read callback; only the records up to the first image are read. giflib
// reports errors by return value, so nothing here jumps or throws past it.
#include "context/gif_codec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "context/gif_library.h"

namespace tessaro {
namespace {

struct TMemoryInput {
  std::string_view bytes;
  size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int wanted) {
  auto* input = static_cast<TMemoryInput*>(gif->UserData);
  const size_t count = std::min(static_cast<size_t>(std::max(wanted, 0)), input->bytes.size() - input->at);
  std::memcpy(buffer, input->bytes.data() + input->at, count);
  input->at += count;
  return static_cast<int>(count);
}

// The rows of an interlaced frame come in four passes.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

constexpr int kGraphicsControl = 0xF9;

}  // namespace

std::optional<TRgbImage> DecodeGif(std::string_view bytes, int64_t max_pixels) {
  const TGifLibrary& gif_library = GifLibrary();
  TMemoryInput input{bytes};
  int error = 0;
  GifFileType* opened = gif_library.Open(&input, ReadFromMemory, &error);
  if (opened == nullptr) return std::nullopt;
  const auto close = [&gif_library](GifFileType* gif) { gif_library.CloseFile(gif, nullptr); };
  std::unique_ptr<GifFileType, decltype(close)> gif(opened, close);

  int transparent = -1;
  for (;;) {
    GifRecordType type;
    if (gif_library.GetRecordType(gif.get(), &type) == GIF_ERROR) return std::nullopt;
    if (type == IMAGE_DESC_RECORD_TYPE) break;
    if (type != EXTENSION_RECORD_TYPE) return std::nullopt;  // the end, with no frame
    int code = 0;
    GifByteType* block = nullptr;
    if (gif_library.GetExtension(gif.get(), &code, &block) == GIF_ERROR) return std::nullopt;
    // The graphics control block: its length, flags, delay (2), transparent index.
    if (code == kGraphicsControl && block != nullptr && block[0] >= 4) transparent = (block[1] & 1) ? block[4] : -1;
    while (block != nullptr)
      if (gif_library.GetExtensionNext(gif.get(), &block) == GIF_ERROR) return std::nullopt;
  }
  if (gif_library.GetImageDesc(gif.get()) == GIF_ERROR) return std::nullopt;

  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
  if (frame.Width <= 0 || frame.Height <= 0 || colours == nullptr || colours->Colors == nullptr) return std::nullopt;
  const int64_t screen_width = gif->SWidth > 0 ? gif->SWidth : frame.Left + frame.Width;
  const int64_t screen_height = gif->SHeight > 0 ? gif->SHeight : frame.Top + frame.Height;
  if (static_cast<int64_t>(frame.Width) * frame.Height > max_pixels || screen_width * screen_height > max_pixels ||
      screen_width <= 0 || screen_height <= 0)
    return std::nullopt;

  TRgbImage image;
  image.Width = static_cast<int>(screen_width);
  image.Height = static_cast<int>(screen_height);
  image.Pixels.assign(static_cast<size_t>(image.Width) * image.Height * 3, 255);
  std::vector<GifPixelType> line(static_cast<size_t>(frame.Width));
  for (int row : RowOrder(frame.Height, frame.Interlace)) {
    if (gif_library.GetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) return std::nullopt;
    const int64_t y = static_cast<int64_t>(frame.Top) + row;
    if (y < 0 || y >= image.Height) continue;
    for (int x = 0; x < frame.Width; ++x) {
      const int64_t at_x = static_cast<int64_t>(frame.Left) + x;
      if (at_x < 0 || at_x >= image.Width || line[x] == transparent) continue;
      uint8_t* out = &image.Pixels[(static_cast<size_t>(y) * image.Width + at_x) * 3];
      if (line[x] < colours->ColorCount) {
        const GifColorType& c = colours->Colors[line[x]];
        out[0] = c.Red, out[1] = c.Green, out[2] = c.Blue;
      } else {
        out[0] = out[1] = out[2] = 0;
      }
    }
  }
  return image;
}

}  // namespace tessaro
