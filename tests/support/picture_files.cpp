#include "support/picture_files.h"

namespace tessaro::testing {
namespace {

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Codes of 9 bits, least significant bit first, cut into sub-blocks.
class TCodeWriter {
 public:
  void Code(uint32_t code) {
    buffer_ |= code << bits_;
    bits_ += 9;
    while (bits_ >= 8) Byte();
  }
  std::string Finish() {
    if (bits_ > 0) Byte();
    std::string out;
    for (size_t at = 0; at < data_.size(); at += 255) {
      const std::string block = data_.substr(at, 255);
      out += static_cast<char>(block.size());
      out += block;
    }
    return out + '\0';
  }

 private:
  void Byte() {
    data_ += static_cast<char>(buffer_ & 0xFF);
    buffer_ >>= 8;
    bits_ = bits_ >= 8 ? bits_ - 8 : 0;
  }
  uint32_t buffer_ = 0;
  int bits_ = 0;
  std::string data_;
};

}  // namespace

std::string GifFile(int width, int height, const std::vector<TRgb>& palette, const std::vector<uint8_t>& indices,
                    int transparent) {
  std::string out = "GIF89a";
  Put16(out, width);
  Put16(out, height);
  out += '\xF7';  // global table of 256 entries
  out += '\0';
  out += '\0';
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) out += static_cast<char>(i < static_cast<int>(palette.size()) ? palette[i][c] : 0);
  if (transparent >= 0) {
    out += "\x21\xF9\x04\x01";
    Put16(out, 0);
    out += static_cast<char>(transparent);
    out += '\0';
  }
  out += ',';
  Put32(out, 0);
  Put16(out, width);
  Put16(out, height);
  out += '\0';
  out += '\x08';  // minimum code size: clear 256, end 257, codes of 9 bits
  TCodeWriter codes;
  // After a clear code the decoder adds a table entry per code; 250 literals
  // keep the table below 512 entries, so the width stays 9 bits.
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % 250 == 0) codes.Code(256);
    codes.Code(indices[i]);
  }
  codes.Code(257);
  return out + codes.Finish() + ';';
}

std::string BmpFile(int width, int height, const std::vector<TRgb>& pixels) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
  std::string out = "BM";
  Put32(out, 54 + stride * height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const TRgb& p = pixels[static_cast<size_t>(y) * width + x];
      row += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

}  // namespace tessaro::testing
