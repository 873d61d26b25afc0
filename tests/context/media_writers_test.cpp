// Media responses: the MIME table, fitting pictures into a box, resampling,
// and the JPEG and blob bodies as a response carries them.
#include "context/media_writers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "cgi/web_request.h"
#include "cgi/web_response.h"
#include "context/jpeg_codec.h"
#include "db/memory_dataset.h"

namespace tessaro {
namespace {

TEST(MimeTypeOf, TableAndUnknownExtensions) {
  const std::map<std::string, std::string> cases = {
      {"mid", "midi/mid"},       {"WAV", "audio/x-wav"},      {"Mp3", "audio/mp3"},
      {"wma", "audio/x-ms-wma"}, {"avi", "video/x-msvideo"},  {"mpeg", "video/x-mpeg2a"},
      {"mpg", "video/mpeg"},     {"mov", "video/quicktime"},  {"wmv", "video/x-ms-wmv"},
      {"swf", "application/x-shockwave-flash"},               {".mp3", ""},
      {"jpg", ""},               {"", ""}};
  for (const auto& [extension, expected] : cases) {
    std::string type = "stale";
    EXPECT_EQ(MimeTypeOf(extension, type), !expected.empty()) << extension;
    EXPECT_EQ(type, expected) << extension;
  }
}

TEST(FitIntoBox, NarrowsThenLowersNeverEnlarges) {
  struct Case {
    int width, height, box_width, box_height;
    TImageSize expected;
  } cases[] = {
      {400, 300, 40, 40, {40, 30}},
      {30, 20, 40, 40, {30, 20}},
      {400, 300, 0, 50, {67, 50}},  // 66.67
      {400, 300, -1, -1, {400, 300}},
      {4, 5, 2, 0, {2, 2}},     // 2.5: the even neighbour
      {4, 7, 2, 0, {2, 4}},     // 3.5: the even neighbour
      {1000, 1, 10, 0, {10, 1}},  // never below one pixel
      {300, 400, 40, 40, {30, 40}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitIntoBox(c.width, c.height, c.box_width, c.box_height), c.expected)
        << c.width << "x" << c.height << " into " << c.box_width << "x" << c.box_height;
  }
}

// A picture one pixel high whose red channel holds `values` (green and blue 0).
TRgbImage RedRow(const std::vector<int>& values) {
  TRgbImage image;
  image.Width = static_cast<int>(values.size());
  image.Height = 1;
  for (int v : values) image.Pixels.insert(image.Pixels.end(), {static_cast<uint8_t>(v), 0, 0});
  return image;
}

TEST(ResizeImage, AreaAverageWhenShrinkingLinearWhenEnlarging) {
  struct Case {
    std::vector<int> before;
    std::vector<int> after;
  } cases[] = {
      {{0, 255, 0, 255}, {128, 128}},
      {{0, 90, 180}, {30, 150}},  // each new pixel covers one and a half old ones
      {{0, 100}, {0, 25, 75, 100}},
      {{7, 9}, {7, 9}},
  };
  for (const Case& c : cases) {
    const TRgbImage resized = ResizeImage(RedRow(c.before), static_cast<int>(c.after.size()), 1);
    std::vector<int> red;
    for (int x = 0; x < resized.Width; ++x) red.push_back(resized.Pixels[x * 3]);
    EXPECT_EQ(red, c.after);
  }
  // Both directions at once: a 2 x 2 picture shrunk to one pixel is the average.
  TRgbImage square;
  square.Width = square.Height = 2;
  square.Pixels = {0, 0, 0, 100, 0, 0, 200, 0, 0, 100, 40, 0};
  EXPECT_EQ(ResizeImage(square, 1, 1).Pixels, (std::vector<uint8_t>{100, 10, 0}));
}

TRgbImage Plain(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
  TRgbImage image;
  image.Width = width;
  image.Height = height;
  for (int i = 0; i < width * height; ++i) image.Pixels.insert(image.Pixels.end(), {red, green, blue});
  return image;
}

// A response to a plain GET, writing nowhere.
struct ResponseFixture {
  ResponseFixture() {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    close(fds[1]);
    request = std::make_unique<TWebRequest>(
        CgiEnvironment::FromMap({{"REQUEST_METHOD", "GET"}, {"SCRIPT_NAME", "/tessaro.cgi"}}), fds[0]);
    close(fds[0]);
    response = std::make_unique<TWebResponse>(*request, -1);
  }
  // The picture the response carries.
  TRgbImage Picture() const {
    EXPECT_EQ(response->ContentType(), "image/jpeg");
    std::optional<TRgbImage> picture = DecodeJpeg(response->Content());
    EXPECT_TRUE(picture.has_value());
    return picture.value_or(TRgbImage{});
  }
  std::unique_ptr<TWebRequest> request;
  std::unique_ptr<TWebResponse> response;
};

TEST(SendJpeg, ScalesIntoTheBoxOrSendsAnEmptyBody) {
  ResponseFixture fixture;
  const TRgbImage image = Plain(400, 300, 200, 40, 10);
  SendJpeg(&image, 40, 40, *fixture.response);
  const TRgbImage sent = fixture.Picture();
  EXPECT_EQ(sent.Width, 40);
  EXPECT_EQ(sent.Height, 30);
  EXPECT_NEAR(sent.Pixels[0], 200, 8);
  EXPECT_NEAR(sent.Pixels[1], 40, 8);
  EXPECT_EQ(fixture.response->ContentLength(), static_cast<int64_t>(fixture.response->Content().size()));

  ResponseFixture empty;
  SendJpeg(nullptr, 40, 40, *empty.response);
  EXPECT_EQ(empty.response->ContentType(), "image/jpeg");
  EXPECT_EQ(empty.response->Content(), "");
}

// The bytes of a literal, NULs included.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

TEST(SendFieldImage, StoredPictureElseTheDefaultFile) {
  const std::filesystem::path default_file = std::filesystem::temp_directory_path() / "tessaro_default_picture.jpg";
  std::ofstream(default_file, std::ios::binary) << EncodeJpeg(Plain(30, 20, 0, 0, 255));
  const std::string stored = EncodeJpeg(Plain(400, 300, 255, 0, 0));
  std::string huge = stored;  // a frame header that claims 60000 x 60000 pixels
  const size_t frame = huge.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  huge.replace(frame + 5, 4, "\xEA\x60\xEA\x60");

  struct Case {
    const char* name;
    std::optional<std::string> bytes;  // the field's value; nothing for Null
    std::string default_file;
    int width, height;
    TImageSize expected;  // {0, 0}: an empty body
  } cases[] = {
      {"stored, height limit", stored, default_file.string(), 0, 50, {67, 50}},
      {"null field", std::nullopt, default_file.string(), 40, 40, {30, 20}},
      {"PNG", Bytes("\x89PNG\r\n\x1A\n...."), default_file.string(), 0, 10, {15, 10}},
      {"damaged JPEG", Bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00 garbage"), default_file.string(), 0, 0, {30, 20}},
      {"too large", huge, default_file.string(), 0, 0, {30, 20}},
      {"no default file", std::nullopt, (default_file.string() + ".missing"), 0, 0, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryDataSet data;
    data.AddField("Pic", TFieldType::ftBlob);
    data.AppendRecord({c.bytes ? TMemoryValue(*c.bytes) : TMemoryValue()});
    data.Open();
    ResponseFixture fixture;
    SendFieldImage(data.FindField("Pic"), c.width, c.height, c.default_file, *fixture.response);
    if (c.expected.Width == 0) {
      EXPECT_EQ(fixture.response->ContentType(), "image/jpeg");
      EXPECT_EQ(fixture.response->Content(), "");
    } else {
      const TRgbImage sent = fixture.Picture();
      EXPECT_EQ((TImageSize{sent.Width, sent.Height}), c.expected);
    }
  }
  std::filesystem::remove(default_file);
}

TEST(SendBlob, BytesAsTheyAreOrNothing) {
  const std::string bytes("\x00\x01zz\r\n\xFF", 7);
  TMemoryDataSet data;
  data.AddField("Clip", TFieldType::ftBlob);
  data.AppendRecord({bytes});
  data.Open();
  ResponseFixture fixture;
  SendBlob(data.FindField("Clip"), *fixture.response, "video/mpeg");
  EXPECT_EQ(fixture.response->Content(), bytes);
  EXPECT_EQ(fixture.response->ContentType(), "video/mpeg");
  EXPECT_EQ(fixture.response->ContentLength(), 7);

  ResponseFixture none;
  const std::string type_before = none.response->ContentType();
  SendBlob(nullptr, *none.response, "video/mpeg");
  EXPECT_EQ(none.response->Content(), "");
  EXPECT_EQ(none.response->ContentType(), type_before);
}

}  // namespace
}  // namespace tessaro
