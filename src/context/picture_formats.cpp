// The signature table. The order is the portal's long-standing one and is
// part of the behaviour: a field is judged by its first match only. Formats
// without a decoder (TIFF, PNG, metafiles and the two unnamed ones) are
// recognised so that they end the search and give the default picture.
#include "context/picture_formats.h"

#include "context/bmp_decoder.h"
#include "context/gif_codec.h"
#include "context/ico_decoder.h"
#include "context/jpeg_codec.h"

namespace tessaro {
namespace {

bool HasAt(std::string_view bytes, size_t offset, std::string_view signature) {
  return bytes.size() >= offset + signature.size() && bytes.substr(offset, signature.size()) == signature;
}

using namespace std::string_view_literals;

bool IsBitmap(std::string_view b) { return HasAt(b, 0, "BM"); }
bool IsTiff(std::string_view b) { return HasAt(b, 0, "II*\0"sv) || HasAt(b, 0, "MM*\0"sv); }
bool IsJpeg(std::string_view b) {
  return HasAt(b, 6, "JFIF") || (HasAt(b, 0, "\xFF\xD8\xFF\xE1") && HasAt(b, 6, "Exif"));
}
bool IsPng(std::string_view b) { return HasAt(b, 0, "\x89PNG\r\n\x1A\n"); }
bool IsOtherB1(std::string_view b) { return HasAt(b, 0, "\xB1\x68\xDE\x3A"); }
bool IsOtherLineFeed(std::string_view b) { return HasAt(b, 0, "\x0A"); }
bool IsMetafile(std::string_view b) { return HasAt(b, 0, "\xD7\xCD\xC6\x9A") || HasAt(b, 0, "\x01\0\0\0"sv); }
bool IsGif(std::string_view b) { return HasAt(b, 0, "GIF"); }
bool IsIcon(std::string_view b) { return HasAt(b, 0, "\0\0\x01\0"sv); }

struct TFormatEntry {
  bool (*recognises)(std::string_view bytes);
  TPictureFormat format;
  std::optional<TRgbImage> (*decode)(std::string_view bytes, int64_t max_pixels);  // null: not shown
};

constexpr TFormatEntry kFormats[] = {
    {IsBitmap, TPictureFormat::Bitmap, DecodeBmp},   {IsTiff, TPictureFormat::Tiff, nullptr},
    {IsJpeg, TPictureFormat::Jpeg, DecodeJpeg},      {IsPng, TPictureFormat::Png, nullptr},
    {IsOtherB1, TPictureFormat::Other, nullptr},     {IsOtherLineFeed, TPictureFormat::Other, nullptr},
    {IsMetafile, TPictureFormat::Metafile, nullptr}, {IsGif, TPictureFormat::Gif, DecodeGif},
    {IsIcon, TPictureFormat::Icon, DecodeIcon},
};

const TFormatEntry* FindFormat(std::string_view bytes) {
  for (const TFormatEntry& entry : kFormats)
    if (entry.recognises(bytes)) return &entry;
  return nullptr;
}

}  // namespace

TPictureFormat RecognisePicture(std::string_view bytes) {
  const TFormatEntry* entry = FindFormat(bytes);
  return entry ? entry->format : TPictureFormat::None;
}

std::optional<TRgbImage> DecodePicture(std::string_view bytes, int64_t max_pixels) {
  const TFormatEntry* entry = FindFormat(bytes);
  if (entry == nullptr || entry->decode == nullptr) return std::nullopt;
  return entry->decode(bytes, max_pixels);
}

std::optional<TRgbImage> DecodePictureIntoBox(std::string_view bytes, int box_width, int box_height,
                                              int64_t max_pixels) {
  const TFormatEntry* entry = FindFormat(bytes);
  if (entry == nullptr || entry->decode == nullptr) return std::nullopt;
  if (entry->format == TPictureFormat::Jpeg) return DecodeJpegIntoBox(bytes, box_width, box_height, max_pixels);
  std::optional<TRgbImage> picture = entry->decode(bytes, max_pixels);
  if (picture) *picture = ScaleIntoBox(*picture, box_width, box_height);
  return picture;
}

}  // namespace tessaro
