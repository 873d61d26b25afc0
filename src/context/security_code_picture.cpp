// The picture is drawn with FreeType (freetype_loader.cpp opens it on first
// use). Sizes are cell heights: a font "40 high" has ascender plus descender
// of 40 pixels. Angles turn counter-clockwise as seen on the screen.
#include "context/security_code_picture.h"

#include <ft2build.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>

#include "util/exception.h"
#include "util/float_math.h"
#include FT_FREETYPE_H

namespace tessaro {

namespace {

constexpr int kFontHeight = 40;
constexpr int kHeights[] = {22, 25, 30, 35, 40};
constexpr int kAngles[] = {0, 15, 30, 45, 60};
// The sine of 0, 15, ... 90 degrees: the turns are multiples of 15 degrees,
// and a table keeps the maths library out of the program (util/float_math.h).
constexpr double kSineBy15[] = {
    0.0, 0.25881904510252074, 0.5, 0.7071067811865476, 0.8660254037844387, 0.9659258262890683, 1.0};

struct TTurn {
  double sin, cos;
};
// The turn by `degrees`, one of kAngles or its negation.
TTurn TurnOf(int degrees) {
  const int step = (degrees < 0 ? -degrees : degrees) / 15;
  return {degrees < 0 ? -kSineBy15[step] : kSineBy15[step], kSineBy15[6 - step]};
}
struct TColour {
  uint8_t r, g, b;
};
constexpr TColour kColours[] = {{0, 0, 0}, {0, 128, 0}, {255, 0, 0}, {0, 0, 255}, {128, 0, 0}};
constexpr TColour kBackground = {255, 255, 255};

// The library and the face, released in reverse order.
class TFont {
 public:
  explicit TFont(const std::string& file) {
    if (FT_Init_FreeType(&library_) != 0) throw Exception("FONT");
    if (FT_New_Face(library_, file.c_str(), 0, &face_) != 0) {
      FT_Done_FreeType(library_);
      throw Exception("FONT");
    }
  }
  ~TFont() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  // Sets the cell height in pixels and turns the glyphs by `degrees`.
  void Select(int height, int degrees) {
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_CELL;
    request.height = static_cast<FT_Long>(height) * 64;
    if (FT_Request_Size(face_, &request) != 0) throw Exception("FONT");
    const TTurn t = TurnOf(degrees);
    const auto fixed = [](double v) { return static_cast<FT_Fixed>(RoundHalfAway(v * 65536.0)); };
    FT_Matrix turn{fixed(t.cos), fixed(-t.sin), fixed(t.sin), fixed(t.cos)};
    FT_Set_Transform(face_, &turn, nullptr);
  }
  int CellHeight() const {
    const FT_Size_Metrics& m = face_->size->metrics;
    return static_cast<int>((m.ascender - m.descender + 32) >> 6);
  }
  int Ascender() const { return static_cast<int>((face_->size->metrics.ascender + 32) >> 6); }
  // The advance of `c` unturned; Select(height, 0) first.
  int Advance(unsigned char c) {
    if (FT_Load_Char(face_, c, FT_LOAD_DEFAULT) != 0) throw Exception("Text extent");
    return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }
  // Renders `c` with the current size and turn; the glyph slot holds it.
  FT_GlyphSlot Render(unsigned char c) {
    if (FT_Load_Char(face_, c, FT_LOAD_RENDER) != 0) throw Exception("Text extent");
    return face_->glyph;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

// Lays the glyph's grey coverage over the picture in `colour`, its top left
// corner at (left, top); what falls outside the picture is left out.
void Blend(TRgbImage& image, const FT_Bitmap& bitmap, int left, int top, TColour colour) {
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const int y = top + static_cast<int>(row);
    if (y < 0 || y >= image.Height) continue;
    const unsigned char* line = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      const int x = left + static_cast<int>(col);
      if (x < 0 || x >= image.Width) continue;
      const unsigned alpha = line[col];
      if (alpha == 0) continue;
      uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 3];
      const uint8_t ink[3] = {colour.r, colour.g, colour.b};
      for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>((p[k] * (255 - alpha) + ink[k] * alpha + 127) / 255);
    }
  }
}

TRgbImage CutToWidth(const TRgbImage& image, int width) {
  width = std::clamp(width, 1, image.Width);
  TRgbImage cut;
  cut.Width = width;
  cut.Height = image.Height;
  cut.Pixels.resize(static_cast<size_t>(width) * image.Height * 3);
  for (int y = 0; y < image.Height; ++y)
    std::copy_n(&image.Pixels[static_cast<size_t>(y) * image.Width * 3], static_cast<size_t>(width) * 3,
                &cut.Pixels[static_cast<size_t>(y) * width * 3]);
  return cut;
}

}  // namespace

std::string SecurityCodeFontFile() {
  static constexpr const char* kPaths[] = {
      "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
  };
  struct stat info {};
  for (const char* path : kPaths)
    if (stat(path, &info) == 0) return path;
  return kPaths[0];
}

TRgbImage DrawSecurityCodePicture(std::string_view text, const std::string& font_file) {
  TFont font(font_file);
  font.Select(kFontHeight, 0);
  const int text_height = font.CellHeight();
  int text_width = 0;
  for (char c : text) text_width += font.Advance(static_cast<unsigned char>(c));
  if (text_height <= 0 || text.empty()) throw Exception("METRIC");

  TRgbImage image;
  image.Width = std::max(1, text_width * static_cast<int>(text.size()) * 10);
  image.Height = 2 * text_height;
  image.Pixels.assign(static_cast<size_t>(image.Width) * image.Height * 3, 0);
  for (size_t i = 0; i < image.Pixels.size(); i += 3) {
    image.Pixels[i] = kBackground.r;
    image.Pixels[i + 1] = kBackground.g;
    image.Pixels[i + 2] = kBackground.b;
  }

  std::random_device entropy;
  std::mt19937 random(entropy());
  const auto pick = [&random](auto& table) {
    return table[std::uniform_int_distribution<size_t>(0, std::size(table) - 1)(random)];
  };
  const int centre_y = text_height * 12 / 10;
  int x = text_height / 2;
  int advance = 0;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const TColour colour = pick(kColours);
    const int height = pick(kHeights);
    int degrees = pick(kAngles);
    if (std::uniform_int_distribution<int>(0, 1)(random) == 1) degrees = -degrees;

    x += (advance + height) / 2;
    font.Select(height, 0);
    const int width = font.Advance(c);
    const int cell = font.CellHeight();
    const int ascender = font.Ascender();
    // The character's cell turns around its centre, which stands at
    // (x, centre_y): the pen (the cell's baseline origin) is placed back from
    // there by half the turned cell.
    const TTurn t = TurnOf(degrees);
    const double vx = -width / 2.0;
    const double vy = ascender - cell / 2.0;
    const double pen_x = x + vx * t.cos + vy * t.sin;
    const double pen_y = centre_y - vx * t.sin + vy * t.cos;
    font.Select(height, degrees);
    FT_GlyphSlot glyph = font.Render(c);
    Blend(image, glyph->bitmap, static_cast<int>(RoundHalfAway(pen_x)) + glyph->bitmap_left,
          static_cast<int>(RoundHalfAway(pen_y)) - glyph->bitmap_top, colour);
    const double diagonal = std::sqrt(static_cast<double>(width) * width + static_cast<double>(cell) * cell);
    advance = std::min(static_cast<int>(RoundHalfAway(diagonal)), 2 * text_width);
  }
  return CutToWidth(image, advance + x);
}

}  // namespace tessaro
