// Stored picture formats: the signature table and its order, and the GIF,
// bitmap and icon decoders on good files and on files that lie about
// themselves.
#include "context/picture_formats.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "context/jpeg_codec.h"
#include "support/picture_files.h"

namespace tessaro {
namespace {

using namespace std::string_literals;
using testing::BmpFile;
using testing::GifFile;
using testing::TRgb;

// Pixel at (x, y) as an array.
TRgb PixelAt(const TRgbImage& image, int x, int y) {
  const size_t at = (static_cast<size_t>(y) * image.Width + x) * 3;
  return {image.Pixels[at], image.Pixels[at + 1], image.Pixels[at + 2]};
}

void Put32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(RecognisePicture, FirstMatchingSignatureInTableOrderDecides) {
  const struct {
    std::string bytes;
    TPictureFormat format;
  } cases[] = {
      {"BM\0\0\0\0JFIF"s, TPictureFormat::Bitmap},  // a bitmap before the JPEG test
      {"II*\0\0\0JFIF"s, TPictureFormat::Tiff},
      {"MM*\0"s, TPictureFormat::Tiff},
      {"MM\0*"s, TPictureFormat::None},
      {"\xFF\xD8\xFF\xE0\0\x10JFIF\0"s, TPictureFormat::Jpeg},
      {"\xFF\xD8\xFF\xE1\0\x10"
       "Exif\0"s,
       TPictureFormat::Jpeg},
      {"\xFF\xD8\xFF\xE0\0\x10"
       "Exif\0"s,
       TPictureFormat::None},
      {"\x89PNG\r\n\x1A\nJFIF"s, TPictureFormat::Png},
      {"\xB1\x68\xDE\x3A"s, TPictureFormat::Other},
      {"\nGIF"s, TPictureFormat::Other},
      {"\xD7\xCD\xC6\x9A"s, TPictureFormat::Metafile},
      {"\x01\0\0\0 EMF"s, TPictureFormat::Metafile},
      {"GIF89a"s, TPictureFormat::Gif},
      {"\0\0\x01\0"s, TPictureFormat::Icon},
      {"\0\0\x02\0"s, TPictureFormat::None},
      {"B"s, TPictureFormat::None},
      {""s, TPictureFormat::None},
  };
  for (const auto& c : cases) EXPECT_EQ(RecognisePicture(c.bytes), c.format) << ::testing::PrintToString(c.bytes);
}

// Formats that are recognised but not shown end the search: a PNG that also
// carries "JFIF" at offset 6 is not read as a JPEG.
TEST(DecodePicture, FormatsNotShownGiveNoPicture) {
  for (const std::string& bytes : {"\x89PNG\r\n\x1A\nJFIF"s, "II*\0"s, "\xD7\xCD\xC6\x9A"s + std::string(100, '\0'),
                                   "\x01\0\0\0"s + std::string(100, '\0'), "hello"s})
    EXPECT_FALSE(DecodePicture(bytes)) << ::testing::PrintToString(bytes);
}

TEST(DecodePicture, GifFirstFrameWithTransparencyAsWhite) {
  const std::vector<TRgb> palette = {{255, 0, 0}, {0, 0, 255}, {0, 0, 0}};
  // 300 x 2 runs through several clear codes.
  std::vector<uint8_t> indices(600, 0);
  indices[1] = 1;
  indices[300] = 2;
  indices[599] = 1;
  for (int transparent : {-1, 2}) {
    std::optional<TRgbImage> image = DecodePicture(GifFile(300, 2, palette, indices, transparent));
    ASSERT_TRUE(image) << transparent;
    EXPECT_EQ(image->Width, 300);
    EXPECT_EQ(image->Height, 2);
    EXPECT_EQ(PixelAt(*image, 0, 0), (TRgb{255, 0, 0}));
    EXPECT_EQ(PixelAt(*image, 1, 0), (TRgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(*image, 299, 1), (TRgb{0, 0, 255}));
    EXPECT_EQ(PixelAt(*image, 0, 1), transparent == 2 ? (TRgb{255, 255, 255}) : (TRgb{0, 0, 0}));
  }
}

TEST(DecodePicture, GifThatLiesGivesNoPicture) {
  const std::string good = GifFile(4, 4, {{1, 2, 3}}, std::vector<uint8_t>(16, 0));
  std::string huge_screen = good;
  huge_screen[6] = huge_screen[7] = huge_screen[8] = huge_screen[9] = '\xFF';  // 65535 x 65535
  for (const std::string& bytes : {good.substr(0, good.size() / 2), huge_screen, "GIF89a"s, "GIF"s})
    EXPECT_FALSE(DecodePicture(bytes)) << bytes.size();
}

TEST(DecodePicture, BitmapRowsBottomUpWithPadding) {
  const std::vector<TRgb> pixels = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}};
  std::optional<TRgbImage> image = DecodePicture(BmpFile(3, 2, pixels));
  ASSERT_TRUE(image);
  ASSERT_EQ(image->Width, 3);
  ASSERT_EQ(image->Height, 2);
  EXPECT_EQ(PixelAt(*image, 0, 0), pixels[0]);
  EXPECT_EQ(PixelAt(*image, 2, 1), pixels[5]);
}

// An 8-bit palette bitmap, top-down, built by hand; then the same with one
// field at a time made to lie.
std::string PaletteBitmap() {
  std::string bmp = "BM"s + std::string(52, '\0');
  Put32(bmp, 10, 54 + 8);  // rows after a two-colour palette
  Put32(bmp, 14, 40);
  Put32(bmp, 18, 2);
  Put32(bmp, 22, static_cast<uint32_t>(-2));  // top-down
  bmp[26] = 1;
  bmp[28] = 8;
  Put32(bmp, 46, 2);                           // colours used
  bmp += "\x00\x00\xFF\x00\xFF\x00\x00\x00"s;  // red, blue
  bmp += "\x00\x01\0\0\x01\x01\0\0"s;
  return bmp;
}

TEST(DecodePicture, PaletteBitmapTopDown) {
  std::optional<TRgbImage> image = DecodePicture(PaletteBitmap());
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelAt(*image, 0, 0), (TRgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(*image, 1, 0), (TRgb{0, 0, 255}));
  EXPECT_EQ(PixelAt(*image, 0, 1), (TRgb{0, 0, 255}));
}

TEST(DecodePicture, BitmapThatLiesGivesNoPicture) {
  const std::string good = PaletteBitmap();
  auto with = [&](size_t at, uint32_t value) {
    std::string bmp = good;
    Put32(bmp, at, value);
    return bmp;
  };
  const std::string cases[] = {
      with(18, 100000),
      with(22, 100000),  // over the pixel limit
      with(18, 0x80000000u),
      with(22, 0x80000000u),            // negative sizes
      with(18, 64),                     // rows longer than the file
      with(14, 1000),                   // a header longer than the file
      with(30, 4),                      // compressed as JPEG
      good.substr(0, good.size() - 1),  // one byte short
      "BM"s,
  };
  for (const std::string& bmp : cases) EXPECT_FALSE(DecodePicture(bmp)) << ::testing::PrintToString(bmp.substr(0, 40));
}

TEST(DecodePicture, RunLengthBitmapStaysInsideThePicture) {
  std::string bmp = PaletteBitmap();
  Put32(bmp, 22, 2);  // bottom-up, as compressed bitmaps are
  Put32(bmp, 30, 1);  // RLE8
  bmp.resize(62);
  // A run of 5 (cut at the row's end), a delta far outside, an absolute run.
  bmp += "\x05\x01\x00\x00\x00\x02\xFF\xFF\x00\x03\x01\x00\x01\x00\x00\x01"s;
  std::optional<TRgbImage> image = DecodePicture(bmp);
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelAt(*image, 0, 1), (TRgb{0, 0, 255}));  // bottom row first
  EXPECT_EQ(PixelAt(*image, 1, 1), (TRgb{0, 0, 255}));
  EXPECT_EQ(PixelAt(*image, 0, 0), (TRgb{255, 0, 0}));
}

// A 2 x 2 icon of 24-bit colour with its transparency mask; the mask makes
// the top-right pixel white.
std::string IconFile() {
  std::string dib(40, '\0');
  Put32(dib, 0, 40);
  Put32(dib, 4, 2);
  Put32(dib, 8, 4);  // colour rows and mask rows
  dib[12] = 1;
  dib[14] = 24;
  dib += "\x00\x00\xFF\x00\x00\xFF\0\0"s;  // bottom row: red, red
  dib += "\xFF\x00\x00\xFF\x00\x00\0\0"s;  // top row: blue, blue
  dib += "\0\0\0\0\x40\0\0\0"s;            // mask, bottom row first
  std::string ico = "\0\0\x01\0\x01\0"s + std::string(16, '\0');
  ico[6] = 2;
  ico[7] = 2;
  ico[12] = 24;
  Put32(ico, 14, static_cast<uint32_t>(dib.size()));
  Put32(ico, 18, 22);
  return ico + dib;
}

TEST(DecodePicture, IconWithItsMask) {
  std::optional<TRgbImage> image = DecodePicture(IconFile());
  ASSERT_TRUE(image);
  ASSERT_EQ(image->Width, 2);
  ASSERT_EQ(image->Height, 2);
  EXPECT_EQ(PixelAt(*image, 0, 0), (TRgb{0, 0, 255}));
  EXPECT_EQ(PixelAt(*image, 1, 0), (TRgb{255, 255, 255}));
  EXPECT_EQ(PixelAt(*image, 0, 1), (TRgb{255, 0, 0}));
}

TEST(DecodePicture, IconThatLiesGivesNoPicture) {
  const std::string good = IconFile();
  auto with = [&](size_t at, uint32_t value) {
    std::string ico = good;
    Put32(ico, at, value);
    return ico;
  };
  std::string png_inside = good;
  png_inside.replace(22, 4, "\x89PNG");
  const std::string cases[] = {with(14, 1000), with(18, 1000),     with(18, 0xFFFFFFF0u),
                               png_inside,     good.substr(0, 30), "\0\0\x01\0\x09\0"s};
  for (const std::string& ico : cases) EXPECT_FALSE(DecodePicture(ico)) << ::testing::PrintToString(ico.substr(0, 30));
}

// Decoding a JPEG at a reduced scale gives the size the box rule gives for
// the whole picture, and nearly the pixels of decoding it whole and then
// resampling.
TEST(DecodePictureIntoBox, ScaledJpegDecodingKeepsTheSizeAndLooks) {
  TRgbImage source;
  source.Width = 400;
  source.Height = 300;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      source.Pixels.insert(source.Pixels.end(),
                           {static_cast<uint8_t>(x * 255 / 400), static_cast<uint8_t>(y * 255 / 300),
                            static_cast<uint8_t>((x / 40 + y / 40) % 2 * 200)});
  const std::string jpeg = EncodeJpeg(source);
  const struct { int box_width, box_height; } boxes[] = {{40, 40}, {0, 50}, {199, 0}, {0, 0}, {399, 301}, {3, 3}};
  for (const auto& box : boxes) {
    const TImageSize size = FitIntoBox(400, 300, box.box_width, box.box_height);
    std::optional<TRgbImage> scaled = DecodePictureIntoBox(jpeg, box.box_width, box.box_height);
    const TRgbImage whole = ScaleIntoBox(*DecodeJpeg(jpeg), box.box_width, box.box_height);
    ASSERT_TRUE(scaled);
    EXPECT_EQ((TImageSize{scaled->Width, scaled->Height}), size) << box.box_width << "x" << box.box_height;
    ASSERT_EQ(scaled->Pixels.size(), whole.Pixels.size());
    double difference = 0;
    for (size_t i = 0; i < whole.Pixels.size(); ++i) difference += std::abs(scaled->Pixels[i] - whole.Pixels[i]);
    EXPECT_LT(difference / whole.Pixels.size(), 8.0) << box.box_width << "x" << box.box_height;
  }
}

}  // namespace
}  // namespace tessaro
