// Writes the demo products' pictures into a folder: simple drawings (a
// coloured plate with a shape) in the formats the portal reads from a
// database field (JPEG, GIF, bitmap) and one PNG, which the portal answers
// with its default picture; and that default picture (default.jpg).
// scripts/build-demo-site loads them into the products table and the
// templates folder.
//   demo_pictures FOLDER
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "context/jpeg_codec.h"
#include "context/rgb_image.h"

namespace {

using tessaro::TRgbImage;
using TRgb = std::array<uint8_t, 3>;

// A plate of `background` with a disc of `shape` and a darker band below.
TRgbImage Drawing(int width, int height, TRgb background, TRgb shape) {
  TRgbImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<size_t>(width) * height * 3);
  const int radius = std::min(width, height) / 3;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int dx = x - width / 2, dy = y - height * 2 / 5;
      TRgb c = dx * dx + dy * dy <= radius * radius ? shape : background;
      if (y > height * 4 / 5)
        c = {static_cast<uint8_t>(c[0] / 2), static_cast<uint8_t>(c[1] / 2), static_cast<uint8_t>(c[2] / 2)};
      for (int i = 0; i < 3; ++i) image.Pixels[(static_cast<size_t>(y) * width + x) * 3 + i] = c[i];
    }
  return image;
}

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Put32BigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::string Bitmap(const TRgbImage& image) {
  const uint32_t stride = (static_cast<uint32_t>(image.Width) * 3 + 3) / 4 * 4;
  std::string out = "BM";
  Put32(out, 54 + stride * image.Height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, image.Width);
  Put32(out, image.Height);
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = image.Height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < image.Width; ++x) {
      const uint8_t* p = &image.Pixels[(static_cast<size_t>(y) * image.Width + x) * 3];
      row += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

// A GIF of a two-colour drawing: LZW codes of 9 bits, a clear code before
// every 250 so that the code width never grows.
std::string Gif(int width, int height, TRgb background, TRgb shape) {
  const TRgbImage image = Drawing(width, height, background, shape);
  std::string out = "GIF89a";
  Put16(out, width);
  Put16(out, height);
  out += '\xF7';
  out += '\0';
  out += '\0';
  // Palette: the background, the shape and their darker halves.
  const std::array<TRgb, 4> colours = {
      background, shape,
      TRgb{static_cast<uint8_t>(background[0] / 2), static_cast<uint8_t>(background[1] / 2),
           static_cast<uint8_t>(background[2] / 2)},
      TRgb{static_cast<uint8_t>(shape[0] / 2), static_cast<uint8_t>(shape[1] / 2), static_cast<uint8_t>(shape[2] / 2)}};
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) out += static_cast<char>(i < 4 ? colours[i][c] : 0);
  out += ',';
  Put32(out, 0);
  Put16(out, width);
  Put16(out, height);
  out += '\0';
  out += '\x08';
  std::string data;
  uint32_t buffer = 0;
  int bits = 0;
  auto code = [&](uint32_t value) {
    buffer |= value << bits;
    for (bits += 9; bits >= 8; bits -= 8, buffer >>= 8) data += static_cast<char>(buffer & 0xFF);
  };
  for (size_t i = 0; i < image.Pixels.size() / 3; ++i) {
    if (i % 250 == 0) code(256);
    const uint8_t* p = &image.Pixels[i * 3];
    uint32_t index = 0;
    for (uint32_t k = 0; k < 4; ++k)
      if (p[0] == colours[k][0] && p[1] == colours[k][1] && p[2] == colours[k][2]) index = k;
    code(index);
  }
  code(257);
  if (bits > 0) data += static_cast<char>(buffer & 0xFF);
  for (size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    out += static_cast<char>(block.size());
    out += block;
  }
  out += '\0';
  return out + ';';
}

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// A PNG whose pixel data is deflated as stored (uncompressed) blocks.
std::string Png(const TRgbImage& image) {
  std::string raw;
  for (int y = 0; y < image.Height; ++y) {
    raw += '\0';  // no filter
    raw.append(reinterpret_cast<const char*>(&image.Pixels[static_cast<size_t>(y) * image.Width * 3]),
               static_cast<size_t>(image.Width) * 3);
  }
  std::string zlib = "\x78\x01";
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t length = std::min<size_t>(65535, raw.size() - at);
    zlib += static_cast<char>(at + length >= raw.size() ? 1 : 0);
    Put16(zlib, static_cast<uint32_t>(length));
    Put16(zlib, static_cast<uint32_t>(~length & 0xFFFF));
    zlib += raw.substr(at, length);
  }
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  Put32BigEndian(zlib, (b << 16) | a);
  auto chunk = [](const std::string& type, const std::string& body) {
    std::string out;
    Put32BigEndian(out, static_cast<uint32_t>(body.size()));
    out += type + body;
    Put32BigEndian(out, Crc32(type + body));
    return out;
  };
  std::string header;
  Put32BigEndian(header, image.Width);
  Put32BigEndian(header, image.Height);
  header += std::string("\x08\x02\0\0\0", 5);
  return std::string("\x89PNG\r\n\x1A\n") + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
}

bool Write(const std::string& folder, const std::string& name, const std::string& bytes) {
  std::ofstream file(folder + "/" + name, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_pictures FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const TRgb soil{120, 84, 52}, leaf{64, 150, 60}, sky{150, 200, 235}, water{40, 110, 200}, wood{180, 130, 80},
      cream{245, 235, 210}, red{200, 50, 40};
  bool ok = true;
  ok &= Write(folder, "spade.jpg", tessaro::EncodeJpeg(Drawing(640, 480, cream, soil)));
  ok &= Write(folder, "rake.jpg", tessaro::EncodeJpeg(Drawing(480, 640, sky, soil)));
  ok &= Write(folder, "carrot.gif", Gif(300, 200, leaf, red));
  ok &= Write(folder, "grass.gif", Gif(200, 200, sky, leaf));
  ok &= Write(folder, "hose.bmp", Bitmap(Drawing(320, 240, cream, water)));
  ok &= Write(folder, "bench.bmp", Bitmap(Drawing(400, 250, sky, wood)));
  ok &= Write(folder, "can.png", Png(Drawing(200, 200, cream, water)));
  // The portal's default picture, for products without one it shows.
  ok &= Write(folder, "default.jpg", tessaro::EncodeJpeg(Drawing(200, 200, TRgb{230, 230, 230}, TRgb{190, 190, 190})));
  if (!ok) std::fprintf(stderr, "demo_pictures: cannot write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
