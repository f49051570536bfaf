#include "app/text_cells.h"

#include "platform/cp437.h"
#include "templates/text_lines.h"

#include <algorithm>

namespace pkm {

namespace {

constexpr std::size_t kTabWidth = 8;

} // namespace

TextCells LayOutText(std::string_view bytes)
{
    TextCells cells;
    for (std::string_view line : splitTextLineViews(bytes)) {
        std::u16string row;
        for (const char byte : line) {
            if (byte == '\t')
                row.append(kTabWidth - row.size() % kTabWidth, u' ');
            else
                row += cp437ToUnicode(static_cast<unsigned char>(byte));
        }
        cells.columns = std::max(cells.columns, row.size());
        cells.rows.push_back(std::move(row));
    }
    return cells;
}

TextExtent MeasureText(std::string_view bytes)
{
    TextExtent extent;
    forEachTextLine(bytes, [&](std::string_view line) {
        std::size_t columns = 0;
        for (const char byte : line)
            columns = byte == '\t' ? columns + kTabWidth - columns % kTabWidth : columns + 1;
        extent.columns = std::max(extent.columns, columns);
        ++extent.rows;
    });
    return extent;
}

PictureSize PictureSizeOf(const TextExtent& extent, std::size_t leastColumns, int scale)
{
    // Rows and columns are at most eight times the text's bytes (and the least columns a
    // command line's number), scaled at most four times: far from overflowing.
    const std::int64_t k = std::max(scale, 1);
    return {static_cast<std::int64_t>(std::max<std::size_t>({extent.columns, leastColumns, 1})) * kCellWidth * k,
            static_cast<std::int64_t>(std::max<std::size_t>(extent.rows, 1)) * kCellHeight * k, static_cast<int>(k)};
}

std::optional<std::string> PictureTooLargeText(const std::string& file, const PictureSize& size)
{
    const std::string first = "The picture of " + file + " would be too large.\r" + std::to_string(size.width) + " x "
        + std::to_string(size.height) + " pixels: ";
    if (size.width > kPictureSideLimit || size.height > kPictureSideLimit)
        return first + "a PNG picture is at most " + std::to_string(kPictureSideLimit) + " pixels wide and high ("
            + std::to_string(kPictureSideLimit / (kCellWidth * size.scale)) + " columns, "
            + std::to_string(kPictureSideLimit / (kCellHeight * size.scale)) + " lines"
            + (size.scale > 1 ? " at scale " + std::to_string(size.scale) : std::string()) + ").";
    if (size.width > kPicturePixelLimit / size.height)
        return first + "at most " + std::to_string(kPicturePixelLimit) + " pixels in all are drawn.";
    return std::nullopt;
}

} // namespace pkm
