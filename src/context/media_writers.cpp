// Media responses. A stored picture is recognised and decoded by
// picture_formats.h; the default picture is a JPEG file.
#include "context/media_writers.h"

#include <optional>

#include "cgi/web_response.h"
#include "context/jpeg_codec.h"
#include "context/picture_formats.h"
#include "util/file_io.h"
#include "util/text.h"

namespace tessaro {

namespace {

// The largest default picture file read.
constexpr size_t kMaxPictureFileBytes = 64 * 1024 * 1024;

std::optional<TRgbImage> LoadJpegFile(const std::string& name) {
  if (name.empty()) return std::nullopt;
  std::optional<TInputFile> file = TInputFile::TryOpen(name);
  if (!file) return std::nullopt;
  return DecodeJpeg(file->ReadAll(kMaxPictureFileBytes));
}

void SetBody(TWebResponse& response, std::string body) {
  response.SetContentStream(nullptr);
  response.SetContent(std::move(body));
}

}  // namespace

bool MimeTypeOf(std::string_view extension, std::string& type) {
  static constexpr struct {
    std::string_view extension;
    std::string_view type;
  } kMimeTypes[] = {
      {"mid", "midi/mid"},        {"wav", "audio/x-wav"},
      {"mp3", "audio/mp3"},       {"wma", "audio/x-ms-wma"},
      {"avi", "video/x-msvideo"}, {"mpeg", "video/x-mpeg2a"},
      {"mpg", "video/mpeg"},      {"mov", "video/quicktime"},
      {"wmv", "video/x-ms-wmv"},  {"swf", "application/x-shockwave-flash"},
  };
  for (const auto& entry : kMimeTypes) {
    if (SameText(extension, entry.extension)) {
      type = entry.type;
      return true;
    }
  }
  type.clear();
  return false;
}

void SendJpeg(const TRgbImage* image, int width, int height, TWebResponse& response) {
  std::string body;
  if (image && !image->Empty()) body = EncodeJpeg(ScaleIntoBox(*image, width, height));
  response.SetContentType("image/jpeg");
  SetBody(response, std::move(body));
}

void SendFieldImage(const TField* field, int width, int height, const std::string& default_file,
                    TWebResponse& response) {
  std::optional<TRgbImage> picture;
  if (field && !field->IsNull()) picture = DecodePictureIntoBox(field->AsString(), width, height);
  if (!picture) {
    picture = LoadJpegFile(default_file);
    if (picture) *picture = ScaleIntoBox(*picture, width, height);
  }
  SendJpeg(picture ? &*picture : nullptr, 0, 0, response);
}

void SendBlob(const TField* field, TWebResponse& response, std::string_view content_type) {
  if (!field) {
    SetBody(response, std::string());
    return;
  }
  SetBody(response, field->IsNull() ? std::string() : field->AsString());
  response.SetContentType(content_type);
}

}  // namespace tessaro
