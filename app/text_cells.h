#pragma once
// A code page 437 text as a grid of character cells, as a PC text screen shows it: one cell per
// byte, a tab advancing to the next multiple of eight columns, the other control bytes drawn as
// the code page's symbols (a smiling face, a note ...).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pkm {

struct TextCells {
    // One row per line (lines split and ended as in every text file), the characters of its
    // cells; rows are not padded.
    std::vector<std::u16string> rows;
    // The longest row.
    std::size_t columns = 0;
};

TextCells LayOutText(std::string_view bytes);

// The number of rows and the longest row LayOutText gives, counted without building them.
struct TextExtent {
    std::size_t rows = 0;
    std::size_t columns = 0;
    bool operator==(const TextExtent&) const = default;
};
TextExtent MeasureText(std::string_view bytes);

// Every character of a picture gets a cell of this size.
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 16;
// PNG encoders (libpng, which Qt's writer uses) refuse a side longer than this by default.
inline constexpr std::int64_t kPictureSideLimit = 1000000;
// A picture this large already takes a gigabyte of memory while it is drawn.
inline constexpr std::int64_t kPicturePixelLimit = std::int64_t(1) << 28;

// A picture's size in pixels: at least one cell and `leastColumns`, as many columns as the
// longest row, each pixel of a cell drawn as `scale` x `scale`.
struct PictureSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int scale = 1;
};
PictureSize PictureSizeOf(const TextExtent& extent, std::size_t leastColumns = 0, int scale = 1);

// The message refusing the picture of `file` when it would be larger than the limits above,
// lines separated by a carriage return; nothing when the picture can be made.
std::optional<std::string> PictureTooLargeText(const std::string& file, const PictureSize& size);

} // namespace pkm
