#pragma once
// A PNG file of a picture of few colours: one palette index a pixel, packed 1, 2, 4 or 8 bits a
// pixel, rows of whole bytes, the leftmost pixel in the highest bits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

struct PalettePicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitsPerPixel = 1;
    std::vector<std::array<std::uint8_t, 3>> palette; // RGB, at most 2^bitsPerPixel entries
    std::size_t bytesPerRow = 0;                      // at least (width * bitsPerPixel + 7) / 8
    const std::uint8_t* rows = nullptr;               // height rows of bytesPerRow bytes
};

// The PNG file's bytes: no filter, the rows deflated at `level` (zlib's 0 to 9).
std::string EncodePng(const PalettePicture& picture, int level);

} // namespace pkm
