// Small picture files made by the tests themselves: GIF and bitmap bytes
// with known pixels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaro::testing {

using TRgb = std::array<uint8_t, 3>;

// A GIF89a of width x height palette indices (row by row, top first) with
// `palette` (at most 256 colours) as its global colour table. Its image data
// is LZW with a clear code often enough that every code stays 9 bits wide.
// `transparent` >= 0 adds a graphics control block naming that index.
std::string GifFile(int width, int height, const std::vector<TRgb>& palette, const std::vector<uint8_t>& indices,
                    int transparent = -1);

// A 24-bit bottom-up bitmap file of width x height pixels (row by row, top
// first).
std::string BmpFile(int width, int height, const std::vector<TRgb>& pixels);

}  // namespace tessaro::testing
