// The size of a text's picture, counted before it is laid out or drawn, and the pictures too
// large to be written.
#include "app/text_cells.h"

#include <gtest/gtest.h>

#include <string>

using namespace pkm;
using namespace std::string_literals;

TEST(TextCells, TheCountedSizeIsTheLaidOutOne)
{
    const std::string texts[] = {
        "",
        "\r\n",
        "a",
        "abc\r\nabcdef\nab\rabcd",
        "\tx\r\n1234567\tx\r\n12345678\tx\r\n",
        "two empty lines follow\r\n\r\n\r\n",
        "cut\0 after the NUL\r\nand more"s,
        "\x01\x0D\x0A\x7F\xDB\t"s,
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const TextCells cells = LayOutText(text);
        EXPECT_EQ(MeasureText(text), (TextExtent {cells.rows.size(), cells.columns}));
    }
    EXPECT_EQ(MeasureText("\tx\r\n1234567\tx\r\n12345678\tx\r\n"), (TextExtent {3, 17}));
}

TEST(TextCells, APictureBeyondWhatPngTakesIsRefused)
{
    struct Case {
        TextExtent extent;
        bool refused;
    };
    const Case cases[] = {
        {{0, 0}, false},                             // one cell
        {{62500, 33}, false},                        // a million pixels high
        {{62501, 1}, true},    {{1, 125000}, false}, // a million pixels wide
        {{1, 125001}, true},   {{62500, 34}, true},  // more pixels than are drawn
        {{2000000, 80}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.extent.rows) + " rows, " + std::to_string(c.extent.columns) + " columns");
        EXPECT_EQ(PictureTooLargeText("f.nfo", PictureSizeOf(c.extent)).has_value(), c.refused);
    }
    EXPECT_EQ(PictureTooLargeText("f.nfo", PictureSizeOf({62501, 80})),
              "The picture of f.nfo would be too large.\r640 x 1000016 pixels: a PNG picture is at most 1000000 "
              "pixels wide and high (125000 columns, 62500 lines).");
    EXPECT_EQ(PictureTooLargeText("f.nfo", PictureSizeOf({62500, 34})),
              "The picture of f.nfo would be too large.\r272 x 1000000 pixels: at most 268435456 pixels in all are "
              "drawn.");
}
